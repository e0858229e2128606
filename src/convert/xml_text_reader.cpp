// expat behind XmlTextReader. The parser runs with namespace processing so
// that "w:t" and "x:t" bound to one namespace look alike; callbacks reduce
// the expanded names to their local part.
#include "convert/xml_text_reader.h"

#include <expat.h>

#include <climits>

namespace {
constexpr char kNamespaceSeparator = '\x01';

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
            XML_StopParser(r.parser_.get(), XML_FALSE);
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
        XML_StopParser(r.parser_.get(), XML_FALSE);
    }
    static void doctype(void* data, const char*, const char*, const char*, int) {
        refuse(self(data));
    }
    static void entity(void* data, const char*, int, const char*, int, const char*, const char*,
                       const char*, const char*) {
        refuse(self(data));
    }
};

XmlTextReader::XmlTextReader(XmlHandler& handler)
    : handler_(handler), parser_(XML_ParserCreateNS("UTF-8", kNamespaceSeparator), XML_ParserFree) {
    XML_Parser p = parser_.get();
    XML_SetUserData(p, this);
    XML_SetElementHandler(p, Callbacks::start, Callbacks::end);
    XML_SetCharacterDataHandler(p, Callbacks::characters);
    XML_SetStartDoctypeDeclHandler(p, Callbacks::doctype);
    XML_SetEntityDeclHandler(p, Callbacks::entity);
    XML_SetParamEntityParsing(p, XML_PARAM_ENTITY_PARSING_NEVER);
}

XmlTextReader::~XmlTextReader() = default;

bool XmlTextReader::parse(const char* bytes, int length, bool last) {
    if (status_ != XmlStatus::Ok) return false;
    if (XML_Parse(parser_.get(), bytes, length, last) == XML_STATUS_OK) return true;
    if (status_ == XmlStatus::Ok) {
        status_ = XmlStatus::Malformed;
        XML_Parser p = parser_.get();
        error_ = std::string(XML_ErrorString(XML_GetErrorCode(p))) + " at line " +
                 std::to_string(XML_GetCurrentLineNumber(p));
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
