#include "widgets/script/animation_listener.h"

WatchedAnimation::~WatchedAnimation() {
    if (animation_listener_) animation_listener_->watched_.erase(this);
}

void AnimationListener::AnimationComplete(int) {}

void AnimationListener::AnimationEnded(int) {}

void AnimationListener::AnimationSignal(int, std::wstring_view) {}

AnimationListener::~AnimationListener() {
    for (WatchedAnimation* animation : watched_) animation->animation_listener_ = nullptr;
}

void AnimationListener::Watch(WatchedAnimation* animation) {
    if (!animation || animation->animation_listener_ == this) return;
    if (animation->animation_listener_) animation->animation_listener_->watched_.erase(animation);
    animation->animation_listener_ = this;
    watched_.insert(animation);
}
