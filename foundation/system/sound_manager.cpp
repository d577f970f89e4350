#include "foundation/system/sound_manager.h"

SoundManager& SoundManager::Fallback() {
    static NullSoundManager silent;
    return silent;
}
