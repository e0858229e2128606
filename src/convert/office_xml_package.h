// One office document opened as a zip package: parts are parsed by name
// through an XmlHandler, all of them drawing on one inflate budget, and the
// first failure is kept as a short reason for the message line.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "convert/xml_text_reader.h"
#include "convert/zip_archive.h"

class OfficePackage {
public:
    OfficePackage(ZipArchive& archive, uint64_t inflateLimit)
        : archive_(archive), budget_(inflateLimit), limit_(inflateLimit) {}

    bool contains(const std::string& part) const { return archive_.contains(part); }
    // Parses a part; false with reason() set when it is missing, damaged,
    // refused, too large or the handler stopped.
    bool parse(const std::string& part, XmlHandler& handler);
    // The targets of a part's relationships (as entry names), in the order
    // of the ids asked for; ids without a target are left out.
    std::vector<std::string> targets(const std::string& part, const std::vector<std::string>& ids);

    const std::string& reason() const { return reason_; }
    void fail(std::string reason) {
        if (reason_.empty()) reason_ = std::move(reason);
    }

private:
    ZipArchive& archive_;
    uint64_t budget_;
    uint64_t limit_;
    std::string reason_;
};

// The relationship ids ("r:id") of one element kind in a main part, in
// document order: the sheets of a workbook, the slides of a presentation.
class RelationIdReader : public XmlHandler {
public:
    explicit RelationIdReader(std::string_view element) : element_(element) {}
    std::vector<std::string> ids;
    void startElement(std::string_view name, const XmlAttributes& attributes) override {
        if (name == element_) ids.emplace_back(attributes.getNamespaced("id"));
    }

private:
    std::string_view element_;
};
