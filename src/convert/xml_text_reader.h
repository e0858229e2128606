// Streaming XML for the document filters (expat). Elements and attributes are
// named by their local part (namespace prefixes differ between producers),
// character data arrives as UTF-8 pieces. A document with a DOCTYPE or an
// entity declaration is refused outright: no entity can expand and nothing
// external is ever fetched.
#pragma once
#include <memory>
#include <string>
#include <string_view>

struct XML_ParserStruct;

class XmlAttributes {
public:
    explicit XmlAttributes(const char** pairs) : pairs_(pairs) {}
    // The value of the attribute with this local name, or empty.
    std::string_view get(std::string_view localName) const;
    // The same among attributes in a namespace only ("r:id" but not "id").
    std::string_view getNamespaced(std::string_view localName) const;

private:
    const char** pairs_;
};

class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual void startElement(std::string_view, const XmlAttributes&) {}
    virtual void endElement(std::string_view) {}
    virtual void text(std::string_view) {}
    // Polled after every callback; true ends the parse at once.
    virtual bool wantsStop() const { return false; }
};

enum class XmlStatus {
    Ok,
    Refused,    // DOCTYPE or entity declaration
    Malformed,  // not well-formed
    Stopped,    // the handler asked to stop
};

class XmlTextReader {
public:
    explicit XmlTextReader(XmlHandler& handler);
    ~XmlTextReader();
    XmlTextReader(const XmlTextReader&) = delete;
    XmlTextReader& operator=(const XmlTextReader&) = delete;

    // Parses the next piece of the document; false once the parse has ended
    // early (status() says why).
    bool feed(std::string_view bytes);
    // Ends the document (checks that it is complete).
    XmlStatus finish();
    XmlStatus status() const { return status_; }
    // For Malformed: expat's message and the line.
    const std::string& error() const { return error_; }

    struct Callbacks;

private:
    bool parse(const char* bytes, int length, bool last);

    XmlHandler& handler_;
    std::unique_ptr<XML_ParserStruct, void (*)(XML_ParserStruct*)> parser_;
    XmlStatus status_ = XmlStatus::Ok;
    std::string error_;
};
