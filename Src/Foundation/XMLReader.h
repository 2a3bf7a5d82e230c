// XMLReader: the text XML parser that fills a tree of XML records from a DataBufferIn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tarnwick {

class DataBufferIn;
class XMLAssembly;
class XMLProxy;
struct XMLValueChild;

// Why a read failed; the first error found is kept.
enum class XMLError {
    none,               // the read succeeded (or none was made)
    inputFailed,        // the DataBufferIn failed before the end of its data
    nulByte,            // a NUL byte in the text
    badEncoding,        // a declared encoding other than UTF-8, ASCII, ISO-8859-1, Windows-1252 or (with
                        // a byte-order mark) UTF-16, or one the byte-order mark contradicts; UTF-16 of an
                        // odd length
    badDeclaration,     // a malformed XML declaration, or one after other markup
    doctype,            // a document type declaration: not accepted, so no entity is ever defined
    noRoot,             // the input holds no root element
    unexpectedRoot,     // the root element's name is not the root record's tag
    badName,            // '<' or '</' not followed by a name
    malformedTag,       // a start or end tag not closed by '>' or '/>'
    badAttribute,       // an attribute without '=' or quotes, with '<' in its value, or never closed
    badEntity,          // an entity other than amp, lt, gt, quot, apos, or a reference without ';'
    badCharacter,       // a character reference to no XML character, or a raw control character, U+FFFE
                        // or U+FFFF in a text
    unclosedMarkup,     // a comment, processing instruction or CDATA section never closed, or an unknown '<!'
    unclosedElement,    // the input ends inside an element
    mismatchedEndTag,   // an end tag that does not close the open element
    tooDeep,            // elements nested deeper than XMLReader::kMaxDepth
    extraContent,       // text or another element after the root element
    refusedValue,       // a proxy refused its value's text
    invalidRecord,      // a record's validity hook failed at its end tag
};

// Something well-formed that a read passed over, since no record takes it.
struct XMLLeftOut {
    enum class Kind {
        element,             // an element no record knows, with all it holds
        attribute,           // an attribute no record knows
        repeatedAttribute,   // an attribute named again in one tag: the first is read
        repeatedElement,     // an element of one value given again in one record: the first is read
    };
    Kind kind;
    std::string name;      // as written, a namespace prefix included
    std::string element;   // the element it stands in
    std::size_t line;      // from 1
};

// Borrows the DataBufferIn, which it drains at the first read. Not copyable. The text may be UTF-8 (with
// or without a byte-order mark), UTF-16 with a byte-order mark, or ISO-8859-1 or Windows-1252 as its
// declaration says; the last three are converted to UTF-8 first. Error offsets count bytes of the UTF-8
// text after any byte-order mark; error lines and columns count lines and characters, alike in every
// encoding.
//
// Attributes are read like child elements of the same name; elements and attributes a record does not
// know are skipped with their content, and so are an attribute given again in one tag and an element
// given again for a value of its record's child or value table, which holds one value
// (XMLAssembly::hasChildTag), each listed in leftOut().
// Text is decoded: the five predefined entities, character references, CR LF and lone CR to LF; in
// attribute values also tab and line breaks to spaces. Comments and processing instructions are skipped;
// CDATA sections are text. Value text is handed to its proxy as it stands (blanks included); text beside
// child records is ignored.
class XMLReader {
public:
    static constexpr std::size_t kMaxDepth = 256;   // open elements at one time, skipped ones included

    explicit XMLReader(DataBufferIn& in);
    ~XMLReader();

    XMLReader(const XMLReader&) = delete;
    XMLReader& operator=(const XMLReader&) = delete;

    // Parses the whole input into root, which is not cleared first; its element must carry root's tag.
    // False on any XMLError; the records then hold what was read up to the error.
    bool read(XMLAssembly& root);

    XMLError error() const { return error_; }
    std::size_t errorOffset() const { return errorOffset_; }   // byte offset of the error in the text
    std::size_t errorLine() const { return errorLine_; }       // from 1; 0 when no read failed
    std::size_t errorColumn() const { return errorColumn_; }   // in characters, from 1; 0 when none failed
    // What is wrong, in a few words ("mismatched end tag: expected </mappedName>"); empty when none.
    const std::string& errorText() const { return errorText_; }
    // What the last read passed over, in text order; what an unknown element holds is not listed apart.
    const std::vector<XMLLeftOut>& leftOut() const { return leftOut_; }

private:
    struct Frame {
        std::string_view name;                   // the element's name, for its end tag
        std::unique_ptr<XMLProxy> proxy;         // null for the root and for a value from a table
        XMLAssembly* record;                     // null for a value
        std::span<const XMLValueChild> values;   // the record's value table
        const XMLValueChild* value;              // a value from its record's table, else null
        XMLAssembly* owner;                      // that record
        std::size_t valuesFrom;                  // where its value elements read so far start in valuesRead_
    };

    enum class SingleByte { none, latin1, windows1252 };   // a declared encoding to convert

    bool load();                                 // drains the input; converts UTF-16
    char* toUtf8(char* p);                       // converts a single-byte text; p moves with it
    char* fail(XMLError kind, const char* at);   // keeps the first error; returns null
    void describeError(const char* at);          // the first error's line, column and text
    bool parseDocument(XMLAssembly& root);
    char* parseDeclaration(char* p);
    char* parseMisc(char* p, bool afterRoot);   // blanks, comments and PIs around the root
    char* parseContent(char* p);                // the root's content up to its end tag
    char* parseStartTag(char* p);
    char* parseEndTag(char* p);
    // element: the tag's name, when what it does not read is to be listed; empty inside a skipped element.
    char* parseAttributes(char* p, XMLAssembly* record, std::span<const XMLValueChild> values,
                          std::string_view element, bool& empty);
    bool isRepeated(std::string_view name);                      // named before in the tag being read
    bool isReadAgain(std::string_view name, std::size_t from);   // notes it when it is not
    void popFrame();
    void leaveOut(XMLLeftOut::Kind kind, std::string_view name, std::string_view element, const char* at);
    void placeLeftOut();   // the lines of what was left out, while the text is there
    char* scanAttributeValue(char* p, std::string_view& value);
    char* scanValueText(char* p);
    char* scanCData(char* p, bool keep);
    char* skipElement(char* p, std::string_view name);   // content of an unknown element
    char* skipComment(char* p);
    char* skipPI(char* p);
    char* skipTo(char* p, std::size_t skip, std::string_view close);
    char* decodeReference(char* p, std::string& out);
    bool finishFrame(Frame& frame, const char* at);
    void addValueText(std::string_view piece);
    std::string& valueScratch();   // the open value's text so far, moved into valueScratch_

    DataBufferIn& in_;
    struct Free {
        std::size_t bytes;   // as allocated
        void operator()(char* block) const noexcept;
    };
    using Buffer = std::unique_ptr<char, Free>;
    static Buffer newBuffer(std::size_t bytes);   // from the block pool, so from the host

    Buffer buffer_;           // the whole text, a '\0' sentinel and zero bytes
    char* begin_ = nullptr;   // first byte after a byte-order mark
    char* end_ = nullptr;     // the sentinel
    XMLError error_ = XMLError::none;
    std::size_t errorOffset_ = 0;
    std::size_t errorLine_ = 0;
    std::size_t errorColumn_ = 0;
    std::string errorText_;
    std::string_view rootTag_;   // the root record's tag, for the error text
    std::vector<Frame> frames_;
    std::vector<std::string_view> skipped_;                 // names of open elements inside a skipped one
    std::string_view valueText_;                            // text of the open value element so far
    std::string valueScratch_;                              // holds it when it came in pieces or was decoded
    std::string attributeScratch_;                          // an attribute value that was decoded
    std::vector<std::string_view> tagAttributes_;           // the names read so far in one tag
    std::unordered_set<std::string_view> manyAttributes_;   // the same, once a tag has many
    std::vector<std::string_view> valuesRead_;   // names of the value elements read in the open records
    std::vector<XMLLeftOut> leftOut_;
    std::vector<std::size_t> leftOutOffsets_;   // where each stands in the text, until placed
    bool valueInScratch_ = false;
    bool fromUtf16_ = false;   // the text came with a UTF-16 byte-order mark
    SingleByte singleByte_ = SingleByte::none;
};

}   // namespace tarnwick
