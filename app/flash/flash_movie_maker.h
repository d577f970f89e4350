#pragma once
// The application's movie maker for scene scripts: every movie widget is a
// FlashWidget (which, with no Flash control here, shows its empty surface).
// Installed by the service wiring. Main thread only.

#include "widgets/script/movie_maker.h"

class FlashMovieMaker : public MovieMaker {
public:
    DynamicWidget* MakeMovieWidget(std::wstring_view movie, int x, int y, int width, int height, bool loop) override;
};
