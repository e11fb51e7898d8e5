#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

// A streaming XML reader over expat for the parts of a workbook. Element and attribute names are
// given without their namespace prefix. Entities are never expanded: a document type
// declaration (where entities would be declared) ends the read with an error.
namespace impmap::workbook {

class XmlHandler
{
public:
    virtual ~XmlHandler() = default;
    // attributes: name, value, name, value, ..., null.
    virtual void Start(std::string_view name, const char** attributes) = 0;
    virtual void End(std::string_view name) = 0;
    virtual void Text(std::string_view text) = 0;
};

// The value of the attribute whose name without prefix is name, or null.
const char* Attribute(const char** attributes, std::string_view name);

class XmlReader
{
public:
    // part names the part in messages.
    XmlReader(XmlHandler& handler, std::string part);
    ~XmlReader();
    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;

    // Parses the next piece; last marks the end of the part. Returns false once the handler
    // asked to stop. Throws WorkbookError for XML that is not well formed, nested deeper than
    // 256 elements, holds a document type declaration, or a single token longer than 64 MB.
    bool Feed(std::string_view piece, bool last);
    // Called by the handler: the part's remaining bytes are not wanted.
    void Stop();

    // Internal: the callbacks' way back in.
    void OnStart(const char* name, const char** attributes);
    void OnEnd(const char* name);
    void OnText(const char* text, int length);
    void OnDoctype();
    void OnOther() { sinceCallback_ = 0; }

private:
    template <typename Call> void Guard(Call call);
    [[noreturn]] void Fail(const std::string& what);

    XmlHandler& handler_;
    std::string part_;
    void* parser_;
    int depth_ = 0;
    bool stopped_ = false;
    std::string problem_;
    std::exception_ptr failure_; // what a handler threw, thrown again outside expat
    std::uint64_t sinceCallback_ = 0;
};

} // namespace impmap::workbook
