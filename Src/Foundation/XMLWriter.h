// XMLWriter: the text XML writer of a tree of XML records, into a DataBufferOut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tarnwick {

class DataBufferOut;
class XMLAssembly;

// Borrows the DataBufferOut; the caller closes or flushes it. Not copyable. Output is UTF-8. Texts and
// attribute values are escaped so that any reader gives back exactly what was written: '&', '<', '>',
// '"' and '\'' as the five standard entities everywhere, CR everywhere and tab and LF in attribute
// values as character references. Texts holding a character XML cannot carry (a control character
// 0x01-0x1F but tab, LF and CR; U+FFFE or U+FFFF) have no text form: the write then fails.
//
// A record's first eight children are each made once a write: the attribute pass keeps the proxies of
// element children until the element pass writes them. Later children are made once in each pass.
class XMLWriter {
public:
    explicit XMLWriter(DataBufferOut& out);
    ~XMLWriter();

    XMLWriter(const XMLWriter&) = delete;
    XMLWriter& operator=(const XMLWriter&) = delete;

    // Writes the declaration <?xml version="1.0" encoding="UTF-8" ?> (when asked), then the root's
    // element. Of each record, its present attribute children come first as name="value" in child order,
    // then its present element children in child order; absent and null children are left out, unless
    // all is set, which writes absent children too. A record without element children is written as an
    // empty element, a value child as <tag>text</tag>. Line breaks end every line; indentation puts one
    // tab per depth before it. False when any child's text cannot be produced, the tree nests deeper
    // than XMLReader::kMaxDepth (it could not be read back), or the output fails; what was written up
    // to then stays in the DataBufferOut.
    bool write(XMLAssembly& root, bool declaration = true, bool lineBreaks = true, bool indentation = true,
               bool all = false);

    // After a write that returned false: whether it stopped at a text that XML cannot carry (a control
    // character, U+FFFE or U+FFFF), rather than at a text that could not be made or output that
    // failed.
    bool stoppedAtText() const { return badText_; }

private:
    bool stopAtText() {
        badText_ = true;
        return false;
    }
    bool writeRecord(XMLAssembly& record, std::string_view name, std::string_view nameSpace,
                     std::size_t depth);
    void put(std::string_view bytes);       // staged; a refused write is noted in failed_ when it goes out
    void putLong(std::string_view bytes);   // put's way for a piece of more than a few bytes
    void putByte(char byte);
    void flushStage();   // hands the staged bytes to the DataBufferOut
    void putName(std::string_view nameSpace, std::string_view tag);
    template <std::uint8_t escapeClass, char... listed>
    bool putEscaped(std::string_view text);   // false: a character XML cannot carry; listed: 0x20 and up
    void putIndent(std::size_t depth);
    void putLineBreak();

    DataBufferOut& out_;
    bool lineBreaks_ = true;
    bool indentation_ = true;
    bool all_ = false;
    bool failed_ = false;
    bool badText_ = false;
    std::string text_;   // a child's text; reused
    // Output gathers here and goes to the DataBufferOut in large pieces, not one call per tag or name.
    std::unique_ptr<char[]> stage_;
    std::size_t staged_ = 0;
};

}   // namespace tarnwick
