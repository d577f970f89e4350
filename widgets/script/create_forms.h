#pragma once
// The forms of the "add" word that live in files of their own; the word
// itself (create_words.cpp) picks the form. Internal to widgets/script/.

class AnimationWidget;

// The text box drawn from three cap images ("textends").
void AddTextBoxWithEnds(AnimationWidget& widget);
