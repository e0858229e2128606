// Part parsing and relationship lookup for OfficePackage.
#include "convert/office_xml_package.h"

#include <map>

namespace {
std::string limitText(uint64_t limit) {
    if (limit % (1024 * 1024) == 0) return std::to_string(limit / (1024 * 1024)) + " MiB";
    return std::to_string(limit) + " bytes";
}

// "xl/workbook.xml" + "worksheets/sheet1.xml" -> "xl/worksheets/sheet1.xml";
// a target starting with "/" is taken from the package root.
std::string resolveTarget(const std::string& part, std::string_view target) {
    std::string path;
    if (!target.empty() && target[0] == '/') {
        target.remove_prefix(1);
    } else {
        size_t slash = part.rfind('/');
        if (slash != std::string::npos) path = part.substr(0, slash + 1);
    }
    while (target.substr(0, 3) == "../") {
        target.remove_prefix(3);
        if (!path.empty()) path.pop_back();
        size_t slash = path.rfind('/');
        path.erase(slash == std::string::npos ? 0 : slash + 1);
    }
    return path + std::string(target);
}

class RelationshipReader : public XmlHandler {
public:
    std::map<std::string, std::string, std::less<>> targets;
    void startElement(std::string_view name, const XmlAttributes& attributes) override {
        if (name != "Relationship" || attributes.get("TargetMode") == "External") return;
        targets.emplace(attributes.get("Id"), attributes.get("Target"));
    }
};
}  // namespace

bool OfficePackage::parse(const std::string& part, XmlHandler& handler) {
    XmlTextReader reader(handler);
    ZipRead read =
        archive_.read(part, budget_, [&](std::string_view bytes) { return reader.feed(bytes); });
    switch (read) {
        case ZipRead::Ok:
            break;
        case ZipRead::Missing:
            fail("missing part " + part);
            return false;
        case ZipRead::Encrypted:
            fail("encrypted document");
            return false;
        case ZipRead::TooLarge:
            fail("document inflates past " + limitText(limit_));
            return false;
        case ZipRead::Damaged:
            fail("damaged archive (" + part + ")");
            return false;
        case ZipRead::Stopped:
            break;  // the reader's status says why
    }
    switch (reader.finish()) {
        case XmlStatus::Ok:
            return true;
        case XmlStatus::Refused:
            fail("DOCTYPE refused in " + part);
            return false;
        case XmlStatus::Malformed:
            fail("XML error in " + part + ": " + reader.error());
            return false;
        case XmlStatus::Stopped:
            fail("stopped");
            return false;
    }
    return false;
}

std::vector<std::string> OfficePackage::targets(const std::string& part,
                                                const std::vector<std::string>& ids) {
    size_t slash = part.rfind('/');
    std::string folder = slash == std::string::npos ? "" : part.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
    RelationshipReader rels;
    std::vector<std::string> result;
    if (!parse(folder + "_rels/" + name + ".rels", rels)) return result;
    for (const std::string& id : ids) {
        auto it = rels.targets.find(id);
        if (it != rels.targets.end()) result.push_back(resolveTarget(part, it->second));
    }
    return result;
}
