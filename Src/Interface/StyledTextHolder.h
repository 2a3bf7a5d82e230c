// StyledTextHolder: keeps the styled text of a host text (a text element's content) and exchanges it with
// the host's records of a multi-style text: the text bytes, the paragraph records with their runs of one
// style, and the starts of the lines.
#pragma once

#include <cstdint>

#include <HostRecords.h>

#include "Interface/StyledString.h"

namespace tarnwick {

// A concrete holder knows where its host text lives: fetchRecord asks the host for the current records,
// loadText turns them into the styled text (normally with readRecords). Not copyable.
class StyledTextHolder {
public:
    StyledTextHolder() = default;
    StyledTextHolder(const StyledTextHolder&) = delete;
    StyledTextHolder& operator=(const StyledTextHolder&) = delete;
    virtual ~StyledTextHolder();

    // Fetches and loads the host's text; what was held stays when either step fails.
    const StyledString& get();
    // Fetches and loads, then holds text. With keepFormatting the old text's formatting is laid over the
    // new text: its first ruler over the whole, its style runs over the same positions, and the last of
    // them on to the end.
    void set(const StyledString& text, bool keepFormatting);
    const StyledString& getHeld() const { return text_; }

    // The text into memo's textContent, paragraphs and textLineStarts: one paragraph record per ruler
    // run, widened to its line break, with the style runs inside it and the ends of its lines. Handles the
    // memo held there are released first. False, with those three fields null, for an empty text, a
    // text with a run without its object, or more lines than 16-bit line starts can reach (65535
    // characters); throws TracedException ("bad_alloc") when memory fails, leaving them null too.
    static bool writeRecords(const StyledString& text, host::ElementMemo& memo);
    // The styled text of memo's records: a ruler per paragraph up to the next one, a style per run, each
    // kept inside its paragraph. False (text unchanged) when the memo holds no text.
    static bool readRecords(const host::ElementMemo& memo, StyledString& text);

protected:
    virtual bool fetchRecord() = 0;                  // false when the host has no text for us
    virtual bool loadText(StyledString& text) = 0;   // from the fetched records

private:
    StyledString text_;
};

}   // namespace tarnwick
