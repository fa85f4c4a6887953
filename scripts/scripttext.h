#pragma once

#include <string>
#include <string_view>

namespace karumenio::scripts {

// A text (a label, a name, a title field) as a line of a script may carry it. The drawing
// program skips a script line that begins with ";" as a comment, so that every later answer
// goes to the wrong prompt; with TEXTEVAL set to 1 it evaluates a text given at a prompt that
// begins with "(" or "!" as an AutoLISP expression. Such a first character becomes its
// full-width form ("；", "（", "！"); the rest is kept as it is.
struct ScriptText {
    std::string text;
    // The first character as typed when it was replaced; '\0' when the text is unchanged.
    char replaced = '\0';

    bool changed() const { return replaced != '\0'; }
};

ScriptText scriptText(std::string_view text);

// The warning for a text that scriptText changed: what names its cell or field ("セル B8 の
// 測点名", "表題欄の作成者"), original is the text as typed.
std::string scriptTextWarning(std::string_view what, std::string_view original,
                              const ScriptText& written);

} // namespace karumenio::scripts
