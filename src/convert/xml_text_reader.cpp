// expat behind XmlTextReader. The parser runs with namespace processing so
// that "w:t" and "x:t" bound to one namespace look alike; callbacks reduce
// the expanded names to their local part.
#include "convert/xml_text_reader.h"

#include <expat.h>

#include <climits>

#include "platform/loadable_module.h"

#ifndef QF_EXPAT_SONAME
#define QF_EXPAT_SONAME "libexpat.so.1"
#endif

namespace {
constexpr char kNamespaceSeparator = '\x01';

// expat is opened with the first document that needs it, not at every start.
struct ExpatCalls {
    decltype(&XML_ParserCreateNS) parserCreateNS;
    decltype(&XML_ParserFree) parserFree;
    decltype(&XML_SetUserData) setUserData;
    decltype(&XML_SetElementHandler) setElementHandler;
    decltype(&XML_SetCharacterDataHandler) setCharacterDataHandler;
    decltype(&XML_SetStartDoctypeDeclHandler) setStartDoctypeDeclHandler;
    decltype(&XML_SetEntityDeclHandler) setEntityDeclHandler;
    decltype(&XML_SetParamEntityParsing) setParamEntityParsing;
    decltype(&XML_Parse) parse;
    decltype(&XML_StopParser) stopParser;
    decltype(&XML_GetErrorCode) getErrorCode;
    decltype(&XML_ErrorString) errorString;
    decltype(&XML_GetCurrentLineNumber) getCurrentLineNumber;
};

bool bindExpat(std::string_view so, ExpatCalls& x) {
    return bindLibrarySymbol(so, "XML_ParserCreateNS", x.parserCreateNS) &&
           bindLibrarySymbol(so, "XML_ParserFree", x.parserFree) &&
           bindLibrarySymbol(so, "XML_SetUserData", x.setUserData) &&
           bindLibrarySymbol(so, "XML_SetElementHandler", x.setElementHandler) &&
           bindLibrarySymbol(so, "XML_SetCharacterDataHandler", x.setCharacterDataHandler) &&
           bindLibrarySymbol(so, "XML_SetStartDoctypeDeclHandler", x.setStartDoctypeDeclHandler) &&
           bindLibrarySymbol(so, "XML_SetEntityDeclHandler", x.setEntityDeclHandler) &&
           bindLibrarySymbol(so, "XML_SetParamEntityParsing", x.setParamEntityParsing) &&
           bindLibrarySymbol(so, "XML_Parse", x.parse) &&
           bindLibrarySymbol(so, "XML_StopParser", x.stopParser) &&
           bindLibrarySymbol(so, "XML_GetErrorCode", x.getErrorCode) &&
           bindLibrarySymbol(so, "XML_ErrorString", x.errorString) &&
           bindLibrarySymbol(so, "XML_GetCurrentLineNumber", x.getCurrentLineNumber);
}

const ExpatCalls* expatCalls() {
    return libraryCalls<ExpatCalls>(QF_EXPAT_SONAME, bindExpat);
}

// Only a reader with a parser calls this, and it has one only once expat is loaded.
const ExpatCalls& expat() {
    return *expatCalls();
}

std::string_view localName(const char* name) {
    std::string_view full(name);
    size_t cut = full.rfind(kNamespaceSeparator);
    return cut == std::string_view::npos ? full : full.substr(cut + 1);
}
}  // namespace

std::string_view XmlAttributes::get(std::string_view wanted) const {
    for (const char** p = pairs_; p && *p; p += 2) {
        if (localName(p[0]) == wanted) return p[1];
    }
    return {};
}

std::string_view XmlAttributes::getNamespaced(std::string_view wanted) const {
    for (const char** p = pairs_; p && *p; p += 2) {
        std::string_view name(p[0]);
        if (name.find(kNamespaceSeparator) != std::string_view::npos && localName(p[0]) == wanted)
            return p[1];
    }
    return {};
}

struct XmlTextReader::Callbacks {
    static XmlTextReader& self(void* data) { return *static_cast<XmlTextReader*>(data); }
    static void check(XmlTextReader& r) {
        if (r.status_ == XmlStatus::Ok && r.handler_.wantsStop()) {
            r.status_ = XmlStatus::Stopped;
            expat().stopParser(r.parser_.get(), XML_FALSE);
        }
    }
    static void start(void* data, const char* name, const char** attributes) {
        XmlTextReader& r = self(data);
        r.handler_.startElement(localName(name), XmlAttributes(attributes));
        check(r);
    }
    static void end(void* data, const char* name) {
        XmlTextReader& r = self(data);
        r.handler_.endElement(localName(name));
        check(r);
    }
    static void characters(void* data, const char* s, int length) {
        XmlTextReader& r = self(data);
        r.handler_.text(std::string_view(s, static_cast<size_t>(length)));
        check(r);
    }
    static void refuse(XmlTextReader& r) {
        if (r.status_ != XmlStatus::Ok) return;
        r.status_ = XmlStatus::Refused;
        expat().stopParser(r.parser_.get(), XML_FALSE);
    }
    static void doctype(void* data, const char*, const char*, const char*, int) {
        refuse(self(data));
    }
    static void entity(void* data, const char*, int, const char*, int, const char*, const char*,
                       const char*, const char*) {
        refuse(self(data));
    }
};

XmlTextReader::XmlTextReader(XmlHandler& handler) : handler_(handler), parser_(nullptr, nullptr) {
    const ExpatCalls* x = expatCalls();
    if (!x) {
        status_ = XmlStatus::Malformed;
        error_ = "expat is not installed";
        return;
    }
    parser_ = {x->parserCreateNS("UTF-8", kNamespaceSeparator), x->parserFree};
    XML_Parser p = parser_.get();
    x->setUserData(p, this);
    x->setElementHandler(p, Callbacks::start, Callbacks::end);
    x->setCharacterDataHandler(p, Callbacks::characters);
    x->setStartDoctypeDeclHandler(p, Callbacks::doctype);
    x->setEntityDeclHandler(p, Callbacks::entity);
    x->setParamEntityParsing(p, XML_PARAM_ENTITY_PARSING_NEVER);
}

XmlTextReader::~XmlTextReader() = default;

bool XmlTextReader::parse(const char* bytes, int length, bool last) {
    if (status_ != XmlStatus::Ok) return false;
    if (expat().parse(parser_.get(), bytes, length, last) == XML_STATUS_OK) return true;
    if (status_ == XmlStatus::Ok) {
        status_ = XmlStatus::Malformed;
        XML_Parser p = parser_.get();
        error_ = std::string(expat().errorString(expat().getErrorCode(p))) + " at line " +
                 std::to_string(expat().getCurrentLineNumber(p));
    }
    return false;
}

bool XmlTextReader::feed(std::string_view bytes) {
    while (bytes.size() > INT_MAX / 2) {
        if (!parse(bytes.data(), INT_MAX / 2, false)) return false;
        bytes.remove_prefix(INT_MAX / 2);
    }
    return parse(bytes.data(), static_cast<int>(bytes.size()), false);
}

XmlStatus XmlTextReader::finish() {
    parse(nullptr, 0, true);
    return status_;
}
