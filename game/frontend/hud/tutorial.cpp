#include "game/frontend/hud/tutorial.h"

bool Tutorial::OnEvent(int32_t, KivraGrid&) { return false; }

void Tutorial::StartCurrentStep(KivraGrid&) {}

void Tutorial::End() {}

bool Tutorial::HasReachedStep(std::wstring_view) const { return IsInactive(); }

std::optional<std::wstring> Tutorial::GetStepName(int32_t) const { return std::nullopt; }
