#pragma once
// What the "add" word with a `video` attribute asks of the application: a
// widget that plays the named movie. The movie player lives above the widget
// layer, so the application installs its maker through Service<MovieMaker>;
// while nothing is installed NullMovieMaker makes nothing and the step adds
// no object. Main thread only.

#include <string_view>

#include "foundation/system/service.h"

class DynamicWidget;

class MovieMaker {
public:
    MovieMaker() = default;
    virtual ~MovieMaker() = default;
    MovieMaker(const MovieMaker&) = delete;
    MovieMaker& operator=(const MovieMaker&) = delete;

    static MovieMaker& Fallback();

    // A new widget at (x, y) showing `movie` in width x height, owned by the
    // caller (who adds it to a tree); null when no movie widget can be made.
    virtual DynamicWidget* MakeMovieWidget(std::wstring_view movie, int x, int y, int width, int height, bool loop) = 0;
};

class NullMovieMaker : public MovieMaker {
public:
    DynamicWidget* MakeMovieWidget(std::wstring_view, int, int, int, int, bool) override { return nullptr; }
};
