#include "app/flash/flash_movie_maker.h"

#include "app/flash/flash_widget.h"

DynamicWidget* FlashMovieMaker::MakeMovieWidget(std::wstring_view movie, int x, int y, int width, int height,
                                                bool loop) {
    auto* widget = new FlashWidget(movie, width, height, loop);
    widget->Move(static_cast<float>(x), static_cast<float>(y));
    return widget;
}
