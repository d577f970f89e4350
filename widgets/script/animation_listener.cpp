#include "widgets/script/animation_listener.h"

WatchedAnimation::~WatchedAnimation() {
    if (animationListener_) animationListener_->watched_.erase(this);
}

void AnimationListener::AnimationComplete(int) {}

void AnimationListener::AnimationEnded(int) {}

void AnimationListener::AnimationSignal(int, std::wstring_view) {}

AnimationListener::~AnimationListener() {
    for (WatchedAnimation* animation : watched_) animation->animationListener_ = nullptr;
}

void AnimationListener::Watch(WatchedAnimation* animation) {
    if (!animation || animation->animationListener_ == this) return;
    if (animation->animationListener_) animation->animationListener_->watched_.erase(animation);
    animation->animationListener_ = this;
    watched_.insert(animation);
}
