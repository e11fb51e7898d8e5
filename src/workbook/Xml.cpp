#include "Xml.h"

#include "WorkbookError.h"

#include <cstring>
#include <exception>
#include <expat.h>
#include <new>
#include <utility>

namespace impmap::workbook {
namespace {

constexpr int kMaxDepth = 256;
constexpr std::uint64_t kMaxToken = 64ULL << 20;
constexpr size_t kFeedPiece = 1 << 20;

std::string_view LocalName(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? std::string_view(colon + 1) : std::string_view(name);
}

XmlReader& Self(void* data)
{
    return *static_cast<XmlReader*>(data);
}

} // namespace

const char* Attribute(const char** attributes, std::string_view name)
{
    for (const char** a = attributes; a && *a; a += 2) {
        // The name after its last colon, compared without measuring it first: this runs for
        // every attribute of every cell.
        const char* local = *a;
        for (const char* p = *a; *p; ++p) {
            if (*p == ':')
                local = p + 1;
        }
        size_t i = 0;
        while (i < name.size() && local[i] == name[i])
            ++i;
        if (i == name.size() && local[i] == '\0')
            return a[1];
    }
    return nullptr;
}

XmlReader::XmlReader(XmlHandler& handler, std::string part)
    : handler_(handler), part_(std::move(part)), parser_(XML_ParserCreate(nullptr))
{
    if (!parser_)
        throw std::bad_alloc();
    auto* p = static_cast<XML_Parser>(parser_);
    XML_SetUserData(p, this);
    XML_SetElementHandler(
        p, [](void* d, const char* n, const char** a) { Self(d).OnStart(n, a); },
        [](void* d, const char* n) { Self(d).OnEnd(n); });
    XML_SetCharacterDataHandler(p, [](void* d, const char* s, int n) { Self(d).OnText(s, n); });
    XML_SetStartDoctypeDeclHandler(
        p, [](void* d, const char*, const char*, const char*, int) { Self(d).OnDoctype(); });
    XML_SetCommentHandler(p, [](void* d, const char*) { Self(d).OnOther(); });
    XML_SetProcessingInstructionHandler(
        p, [](void* d, const char*, const char*) { Self(d).OnOther(); });
    XML_SetXmlDeclHandler(p, [](void* d, const char*, const char*, int) { Self(d).OnOther(); });
}

XmlReader::~XmlReader()
{
    XML_ParserFree(static_cast<XML_Parser>(parser_));
}

void XmlReader::Fail(const std::string& what)
{
    throw WorkbookError("The workbook is damaged: its part " + part_ + " " + what + ".");
}

void XmlReader::Stop()
{
    if (!stopped_) {
        stopped_ = true;
        XML_StopParser(static_cast<XML_Parser>(parser_), XML_FALSE);
    }
}

template <typename Call> void XmlReader::Guard(Call call)
{
    // An exception must never unwind through expat's C frames: it would skip expat's own
    // bookkeeping. It is kept, the parser stopped, and Feed throws it.
    if (failure_)
        return;
    try {
        call();
    } catch (...) {
        failure_ = std::current_exception();
        Stop();
    }
}

void XmlReader::OnStart(const char* name, const char** attributes)
{
    sinceCallback_ = 0;
    if (++depth_ > kMaxDepth) {
        problem_ = "nests elements deeper than 256 levels";
        Stop();
        return;
    }
    Guard([&] { handler_.Start(LocalName(name), attributes); });
}

void XmlReader::OnEnd(const char* name)
{
    sinceCallback_ = 0;
    --depth_;
    Guard([&] { handler_.End(LocalName(name)); });
}

void XmlReader::OnText(const char* text, int length)
{
    sinceCallback_ = 0;
    Guard([&] { handler_.Text(std::string_view(text, static_cast<size_t>(length))); });
}

void XmlReader::OnDoctype()
{
    problem_ = "holds a document type declaration, which no workbook part has";
    Stop();
}

bool XmlReader::Feed(std::string_view piece, bool last)
{
    auto* p = static_cast<XML_Parser>(parser_);
    do {
        if (stopped_)
            break;
        const size_t take = std::min(piece.size(), kFeedPiece);
        const bool final = last && take == piece.size();
        const XML_Status status =
            XML_Parse(p, piece.data(), static_cast<int>(take), final ? XML_TRUE : XML_FALSE);
        piece.remove_prefix(take);
        // A handler's failure stopped the parser; it is thrown here, outside expat's frames.
        if (failure_)
            std::rethrow_exception(std::exchange(failure_, nullptr));
        if (!problem_.empty())
            Fail(problem_);
        if (status == XML_STATUS_ERROR) {
            if (XML_GetErrorCode(p) == XML_ERROR_ABORTED)
                break;
            if (XML_GetErrorCode(p) == XML_ERROR_NO_MEMORY)
                throw std::bad_alloc();
            Fail(std::string("is not well-formed XML (") + XML_ErrorString(XML_GetErrorCode(p)) +
                 " at line " + std::to_string(XML_GetCurrentLineNumber(p)) + ")");
        }
        // Expat holds an unfinished token whole; a token this long is no workbook's.
        sinceCallback_ += take;
        if (sinceCallback_ > kMaxToken)
            Fail("holds an XML token longer than 64 MB");
    } while (!piece.empty());
    return !stopped_;
}

} // namespace impmap::workbook
