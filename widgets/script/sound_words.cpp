// Words that play and stop sound effects, the looping sounds of the menu the
// script belongs to, and music tracks.
#include "foundation/system/app_services.h"
#include "foundation/system/sound_manager.h"
#include "foundation/system/track_interface.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/script_menu.h"
#include "widgets/script/word_families.h"

namespace {

constexpr float kDefaultTrackFade = 0.004f;

// The fade rate of the track words: "fade", by default 0.004; a rate of 0
// or less would never finish, so it fades at once.
double TrackFade(AnimationWidget& widget) {
    const float rate = widget.StepAttributeFloatOr(L"fade", kDefaultTrackFade);
    return rate <= 0.0f ? 1.0 : rate;
}

WordResult Sound(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    PlaySoundEffect(widget.StepAttributeSound(L"name"), widget.StepAttributeInt(L"delay"),
                    widget.StepAttributeFloatOr(L"volume", 1.0f));
    return WordResult::kNext;
}

WordResult StopSound(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    Service<SoundManager>::Get().StopSound(widget.StepAttributeSound(L"name"));
    return WordResult::kNext;
}

WordResult StopSounds(AnimationWidget&, const AnimationStep&, DynamicWidget*) {
    Service<SoundManager>::Get().StopAllSounds();
    return WordResult::kNext;
}

WordResult StartSoundLoop(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    ScriptMenu* menu = ScriptMenuOf(widget);
    if (!menu) return WordResult::kNext;
    const int sound = widget.StepAttributeSound(L"name");
    menu->PlayMenuSound(sound, widget.StepAttributeFloat(L"fade"));
    ++widget.SoundLoops()[sound];
    return WordResult::kNext;
}

WordResult StopSoundLoop(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    ScriptMenu* menu = ScriptMenuOf(widget);
    if (!menu) return WordResult::kNext;
    const int sound = widget.StepAttributeSound(L"name");
    menu->StopMenuSound(sound, widget.StepAttributeFloat(L"fade"));
    std::map<int, int>& loops = widget.SoundLoops();
    if (auto it = loops.find(sound); it != loops.end() && --it->second <= 0) loops.erase(it);
    return WordResult::kNext;
}

WordResult PlayTrack(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    TrackInterface& music = Service<TrackInterface>::Get();
    const int track = widget.StepAttributeTrack(L"name");
    const double rate = TrackFade(widget);
    if (widget.StepAttributeBoolOr(L"sole", true)) music.FadeOutTracksNamed(music.GetTrackName(track), true, rate);
    // A playing track keeps its place; another starts from the beginning.
    const int position = music.IsTrackPlaying(track) ? -1 : 0;
    music.FadeInTrack(track, position, rate, widget.StepAttributeBoolOr(L"loop", true));
    return WordResult::kNext;
}

WordResult StopTrack(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    Service<TrackInterface>::Get().FadeOutTrack(widget.StepAttributeTrack(L"name"), true, TrackFade(widget));
    return WordResult::kNext;
}

WordResult StopTracks(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    TrackInterface& music = Service<TrackInterface>::Get();
    if (widget.StepHasAttribute(L"context"))
        music.FadeOutTracksNamed(widget.StepAttributeString(L"context"), true, TrackFade(widget));
    else
        music.FadeOutAllTracks(true, TrackFade(widget));
    return WordResult::kNext;
}

WordResult PauseTracks(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    TrackInterface& music = Service<TrackInterface>::Get();
    if (widget.StepHasAttribute(L"context"))
        music.PauseTracksNamed(widget.StepAttributeString(L"context"));
    else
        music.PauseAllTracks();
    return WordResult::kNext;
}

WordResult ResumeTracks(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    TrackInterface& music = Service<TrackInterface>::Get();
    if (widget.StepHasAttribute(L"context"))
        music.ResumeTracksNamed(widget.StepAttributeString(L"context"));
    else
        music.ResumeAllTracks();
    return WordResult::kNext;
}

}  // namespace

void RegisterSoundWords(ScriptWords& words) {
    words.Register(WordGroup::kNoObjectFound, L"sound", Sound);
    words.Register(WordGroup::kNoObjectFound, L"stop-sound", StopSound);
    words.Register(WordGroup::kNoObjectFound, L"stop-sounds", StopSounds);
    words.Register(WordGroup::kNoObjectFound, L"start-soundloop", StartSoundLoop);
    words.Register(WordGroup::kNoObjectFound, L"stop-soundloop", StopSoundLoop);
    words.Register(WordGroup::kNoObjectFound, L"play-track", PlayTrack);
    words.Register(WordGroup::kNoObjectFound, L"stop-track", StopTrack);
    words.Register(WordGroup::kNoObjectFound, L"stop-tracks", StopTracks);
    words.Register(WordGroup::kNoObjectFound, L"pause-tracks", PauseTracks);
    words.Register(WordGroup::kNoObjectFound, L"resume-tracks", ResumeTracks);
}
