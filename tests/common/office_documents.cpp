// Flat OpenDocument sources (.fodt, .fods) written from the test's text and
// turned into the wanted format by a headless soffice with a profile of its
// own, so that it neither meets a running office nor the user's settings.
#include "common/office_documents.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string_view>

#include "common/process_run.h"
#include "common/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const char kNamespaces[] =
    R"( xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0")"
    R"( xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0")"
    R"( xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0")"
    R"( xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0")"
    R"( xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0")"
    R"( office:version="1.2")";

// Escapes the XML characters; a tab and a line feed become ODF elements.
std::string odfText(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\t':
                out += "<text:tab/>";
                break;
            case '\n':
                out += "<text:line-break/>";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string flatDocument(std::string_view mimeType, std::string_view styles,
                         std::string_view body) {
    std::ostringstream xml;
    xml << R"(<?xml version="1.0" encoding="UTF-8"?>)"
        << "\n<office:document" << kNamespaces
        << " office:mimetype=\"application/vnd.oasis.opendocument." << mimeType << "\">"
        << "<office:automatic-styles>" << styles << "</office:automatic-styles><office:body>"
        << body << "</office:body></office:document>\n";
    return xml.str();
}

std::string fodt(const std::vector<Paragraph>& paragraphs) {
    std::string body = "<office:text>";
    for (const Paragraph& p : paragraphs) {
        body += p.newPage ? R"(<text:p text:style-name="NewPage">)" : "<text:p>";
        body += odfText(p.text) + "</text:p>";
    }
    return flatDocument("text",
                        R"(<style:style style:name="NewPage" style:family="paragraph">)"
                        R"(<style:paragraph-properties fo:break-before="page"/></style:style>)",
                        body + "</office:text>");
}

std::string cell(const std::string& value) {
    if (value.empty()) return "<table:table-cell/>";
    const bool number = value.find_first_not_of("0123456789") == std::string::npos;
    const std::string type = number ? R"(office:value-type="float" office:value=")" + value + "\""
                                    : R"(office:value-type="string")";
    return "<table:table-cell " + type + "><text:p>" + odfText(value) +
           "</text:p></table:table-cell>";
}

std::string fods(const std::vector<Sheet>& sheets) {
    std::string body = "<office:spreadsheet>";
    for (const Sheet& sheet : sheets) {
        body += "<table:table table:name=\"" + odfText(sheet.name) + "\">";
        for (const auto& row : sheet.rows) {
            body += "<table:table-row>";
            for (const std::string& value : row) body += cell(value);
            body += "</table:table-row>";
        }
        body += "</table:table>";
    }
    return flatDocument("spreadsheet", "", body + "</office:spreadsheet>");
}

// The documents of this process: sources by their text, outputs by source
// and format, all in one folder beside one soffice profile.
class DocumentCache {
public:
    std::string make(const std::string& source, const std::string& sourceExtension,
                     const std::string& format) {
        auto [it, added] =
            sources_.try_emplace(source, "docs/doc" + std::to_string(sources_.size()));
        const std::string& stem = it->second;
        if (added) folder_.write(stem + "." + sourceExtension, source);
        const std::string output = folder_.path(stem + "." + format);
        if (fs::exists(output)) return output;
        runProgram({"soffice", "--headless", "--norestore",
                    "-env:UserInstallation=file://" + folder_.path("profile"), "--convert-to",
                    format, "--outdir", folder_.path("docs"),
                    folder_.path(stem + "." + sourceExtension)});
        return fs::exists(output) ? output : std::string();
    }

private:
    TempDir folder_;
    std::map<std::string, std::string> sources_;
};

DocumentCache& cache() {
    static DocumentCache documents;
    return documents;
}

}  // namespace

bool officeAvailable() {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    std::error_code ec;
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && fs::exists(fs::path(folder) / "soffice", ec)) return true;
    return false;
}

std::string officeTextDocument(const std::vector<Paragraph>& paragraphs,
                               const std::string& format) {
    return cache().make(fodt(paragraphs), "fodt", format);
}

std::string officeWorkbook(const std::vector<Sheet>& sheets, const std::string& format) {
    return cache().make(fods(sheets), "fods", format);
}
