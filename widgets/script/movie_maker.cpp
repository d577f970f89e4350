#include "widgets/script/movie_maker.h"

MovieMaker& MovieMaker::Fallback() {
    static NullMovieMaker none;
    return none;
}
