#pragma once
// The engine-level base of every player state: one player's play time and the
// named values ("symbols") that scripts and the game store per player.
//
// Exactly one player state at a time is current, reachable through Current();
// MakeCurrent replaces it without telling the previous one, and destroying
// the current one leaves no current player. The profile file writes the play
// time as attributes of the player's element (FormatPlayTime) and the symbols
// as its `symbol` children (WriteSymbols); both texts are ready to paste into
// XML. Main thread only, like the scripts that read the symbols.

#include <string>

#include "foundation/expression/variables.h"

class BasicPlayerState {
public:
    BasicPlayerState() = default;
    virtual ~BasicPlayerState();
    BasicPlayerState(const BasicPlayerState&) = delete;
    BasicPlayerState& operator=(const BasicPlayerState&) = delete;

    // The current player state, or null.
    static BasicPlayerState* Current() { return current_; }
    virtual void MakeCurrent() { current_ = this; }

    // started="1" hours="2" minutes="3" centiseconds="4", nothing around it.
    std::wstring FormatPlayTime() const;
    // One <symbol name="..." value="..."/> per symbol in name order, nothing between.
    std::wstring WriteSymbols() const;

    // The play time's ranges; a value read from a file is taken within them,
    // so counting on never overflows. A hundred years and more of hours.
    static constexpr int kMaxHours = 1000000;
    static constexpr int kMinutesPerHour = 60;
    static constexpr int kCentisecondsPerMinute = 6000;
    // Sets the play time, each value clamped to its range.
    void SetPlayTime(int hours, int minutes, int centiseconds);

    bool started_ = false;
    int hours_ = 0;
    int minutes_ = 0;
    int centiseconds_ = 0;
    VariableMap symbols_;

private:
    static inline BasicPlayerState* current_ = nullptr;
};

// The one place a symbol's value becomes saved text: a text the expression
// language reads back as the same value (the profile reader evaluates it).
// A real is the shortest plain decimal with a point that reads back exactly
// (no exponent, which the language cannot read); a text that would not read
// back as itself is spelled with literal(...), unpaired parentheses joined on
// as pieces of "()"; a colour as color(r,g,b,a); bools and ints in their
// usual text form.
std::wstring SymbolValueText(const PropertyValue& value);
// The text with &, <, > and " replaced by their entities, safe inside a
// double-quoted XML attribute.
std::wstring EscapeXmlAttribute(std::wstring_view text);
