#pragma once
// The interface through which an object follows scripted animations: a
// watched animation reports completion, its end and named signals to its one
// listener. The watched side is the WatchedAnimation part of an animated
// widget; a listener keeps the set of parts it watches. Either side may be
// destroyed first: each destructor unhooks the other side. Main thread only.

#include <functional>
#include <set>
#include <string_view>

class AnimationListener;

class WatchedAnimation {
public:
    WatchedAnimation() = default;
    // Leaves its listener's set; the listener is not called.
    virtual ~WatchedAnimation();
    WatchedAnimation(const WatchedAnimation&) = delete;
    WatchedAnimation& operator=(const WatchedAnimation&) = delete;

    // The listener reports go to; null when nobody watches.
    AnimationListener* GetAnimationListener() const { return animationListener_; }

private:
    friend class AnimationListener;
    AnimationListener* animationListener_ = nullptr;
};

class AnimationListener {
public:
    AnimationListener() = default;
    AnimationListener(const AnimationListener&) = delete;
    AnimationListener& operator=(const AnimationListener&) = delete;

    virtual void AnimationComplete(int widgetId);
    virtual void AnimationEnded(int widgetId);
    virtual void AnimationSignal(int widgetId, std::wstring_view signal);
    // Clears the listener of every watched animation; they live on and report to nobody.
    virtual ~AnimationListener();

    // Makes this the one listener of the animation, taking it from any other.
    void Watch(WatchedAnimation* animation);
    bool IsWatching(const WatchedAnimation* animation) const { return watched_.count(animation) != 0; }
    size_t CountWatched() const { return watched_.size(); }

private:
    friend class WatchedAnimation;
    std::set<WatchedAnimation*, std::less<>> watched_;
};
