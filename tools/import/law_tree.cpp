#include "tools/import/law_tree.h"

#include "core/sjis.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>

namespace velto::import {

namespace {

// Laws nest a dozen levels deep; anything far deeper is not a law and would
// only exhaust the stack of the recursive passes that follow.
constexpr int kMaxDepth = 200;

bool is_blank(std::string_view text)
{
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return false;
    return true;
}

// `text` without C0 control characters other than tab and line feed (an
// escape sequence in a title would reach every terminal that prints it);
// `dropped` counts them.
std::string without_controls(std::string text, std::size_t& dropped)
{
    const auto control = [](char c) {
        return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n';
    };
    const auto end = std::remove_if(text.begin(), text.end(), control);
    dropped += static_cast<std::size_t>(text.end() - end);
    text.erase(end, text.end());
    return text;
}

void add_text(Node& parent, std::string text, std::size_t& dropped)
{
    text = without_controls(std::move(text), dropped);
    if (is_blank(text))
        return;
    if (!parent.children.empty() && parent.children.back().is_text()) {
        parent.children.back().text += text;
        return;
    }
    Node node;
    node.text = std::move(text);
    parent.children.push_back(std::move(node));
}

std::string line_and_column(std::string_view bytes, std::size_t offset)
{
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

bool parse_xml(std::string_view bytes, Node& root, std::string& error, std::size_t& dropped)
{
    QXmlStreamReader xml(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    std::vector<Node*> open;
    bool have_root = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (static_cast<int>(open.size()) >= kMaxDepth) {
                error = "line " + std::to_string(xml.lineNumber()) + ": elements nested deeper than " +
                        std::to_string(kMaxDepth) + " levels";
                return false;
            }
            Node* node;
            if (open.empty()) {
                node = &root;
                have_root = true;
            } else {
                open.back()->children.emplace_back();
                node = &open.back()->children.back();
            }
            node->tag = xml.name().toString().toStdString();
            node->line = static_cast<int>(xml.lineNumber());
            for (const QXmlStreamAttribute& a : xml.attributes())
                node->attributes.emplace_back(a.qualifiedName().toString().toStdString(),
                                              without_controls(a.value().toString().toStdString(), dropped));
            open.push_back(node);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!open.empty())
                open.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (!open.empty() && !xml.isWhitespace())
                add_text(*open.back(), xml.text().toString().toStdString(), dropped);
            break;
        default:
            break;
        }
    }
    if (xml.hasError()) {
        error = "line " + std::to_string(xml.lineNumber()) + ", column " + std::to_string(xml.columnNumber()) +
                ": not well-formed XML: " + xml.errorString().toStdString();
        return false;
    }
    if (!have_root) {
        error = "the XML document has no element";
        return false;
    }
    return true;
}

std::string json_place(const std::vector<std::string>& path)
{
    std::string place;
    for (const std::string& step : path)
        place += (place.empty() ? "" : "/") + step;
    return place.empty() ? std::string("the top of the tree") : place;
}

bool has_nul(const QString& text) { return text.contains(QChar(u'\0')); }

bool convert_json(const QJsonObject& object, Node& node, std::vector<std::string>& path, std::string& error,
                  std::size_t& dropped)
{
    const QJsonValue tag = object.value(QStringLiteral("tag"));
    if (!tag.isString() || tag.toString().isEmpty()) {
        error = json_place(path) + ": a node without a \"tag\" name";
        return false;
    }
    if (has_nul(tag.toString())) {
        error = json_place(path) + ": a NUL character in a \"tag\" name";
        return false;
    }
    node.tag = tag.toString().toStdString();
    path.push_back(node.tag);
    if (static_cast<int>(path.size()) > kMaxDepth) {
        error = json_place(path) + ": nodes nested deeper than " + std::to_string(kMaxDepth) + " levels";
        return false;
    }
    const QJsonValue attr = object.value(QStringLiteral("attr"));
    if (attr.isObject()) {
        const QJsonObject attributes = attr.toObject();
        for (auto it = attributes.begin(); it != attributes.end(); ++it) {
            if (it.value().isObject() || it.value().isArray()) {
                error = json_place(path) + ": attribute \"" + it.key().toStdString() + "\" is not a plain value";
                return false;
            }
            if (has_nul(it.key()) || has_nul(it.value().toVariant().toString())) {
                error = json_place(path) + ": a NUL character in an attribute";
                return false;
            }
            node.attributes.emplace_back(it.key().toStdString(),
                                         without_controls(it.value().toVariant().toString().toStdString(), dropped));
        }
    } else if (!attr.isNull() && !attr.isUndefined()) {
        error = json_place(path) + ": \"attr\" is not an object";
        return false;
    }
    const QJsonValue children = object.value(QStringLiteral("children"));
    if (children.isArray()) {
        const QJsonArray array = children.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QJsonValue child = array.at(i);
            if (child.isString()) {
                if (has_nul(child.toString())) {
                    error = json_place(path) + ": a NUL character in text " + std::to_string(i + 1);
                    return false;
                }
                add_text(node, child.toString().toStdString(), dropped);
            } else if (child.isObject()) {
                node.children.emplace_back();
                if (!convert_json(child.toObject(), node.children.back(), path, error, dropped))
                    return false;
            } else {
                error = json_place(path) + ": child " + std::to_string(i + 1) + " is neither a node nor a text";
                return false;
            }
        }
    } else if (!children.isNull() && !children.isUndefined()) {
        error = json_place(path) + ": \"children\" is not a list";
        return false;
    }
    path.pop_back();
    return true;
}

// A fact of the answer when it is a string of the expected form.
std::string fact(const QJsonObject& top, const char* group, const char* name, const QRegularExpression& form)
{
    const QJsonValue value = top.value(QLatin1String(group)).toObject().value(QLatin1String(name));
    if (!value.isString() || !form.match(value.toString()).hasMatch())
        return {};
    return value.toString().toStdString();
}

// False, with `error` naming the place, when the answer gives a 施行日 that
// no calendar has.
bool read_facts(const QJsonObject& top, DocumentFacts& facts, std::string& error)
{
    static const QRegularExpression id(QStringLiteral("^[0-9A-Za-z]{1,40}$"));
    static const QRegularExpression revision(QStringLiteral("^[0-9A-Za-z_]{1,80}$"));
    static const QRegularExpression date(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    static const QRegularExpression number(QStringLiteral("^[^\\x00-\\x1f<>&\"'\\[\\]]{1,80}$"));
    facts.law_id = fact(top, "law_info", "law_id", id);
    facts.revision_id = fact(top, "revision_info", "law_revision_id", revision);
    facts.enforced = fact(top, "revision_info", "amendment_enforcement_date", date);
    facts.amendment = fact(top, "revision_info", "amendment_law_num", number);
    if (!facts.enforced.empty() && !is_real_date(facts.enforced)) {
        error = "revision_info/amendment_enforcement_date: " + facts.enforced + " is no date";
        return false;
    }
    return true;
}

bool parse_json(std::string_view bytes, Node& root, std::string& error, DocumentFacts* facts,
                std::size_t& dropped)
{
    QJsonParseError status;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())), &status);
    if (status.error != QJsonParseError::NoError) {
        error = line_and_column(bytes, static_cast<std::size_t>(status.offset)) + ": not valid JSON: " +
                status.errorString().toStdString();
        return false;
    }
    if (!document.isObject()) {
        error = "the JSON document is not an object";
        return false;
    }
    QJsonObject top = document.object();
    std::vector<std::string> path;
    if (facts && !read_facts(top, *facts, error))
        return false;
    if (top.contains(QStringLiteral("law_full_text"))) {
        const QJsonValue tree = top.value(QStringLiteral("law_full_text"));
        if (!tree.isObject()) {
            error = "\"law_full_text\" holds no law tree";
            return false;
        }
        top = tree.toObject();
    } else if (!top.contains(QStringLiteral("tag"))) {
        error = "the JSON document has neither \"law_full_text\" nor a \"tag\"";
        return false;
    }
    return convert_json(top, root, path, error, dropped);
}

} // namespace

bool is_real_date(std::string_view date)
{
    if (date.size() != 10 || date[4] != '-' || date[7] != '-')
        return false;
    const auto number = [&](std::size_t at, std::size_t length) {
        int n = 0;
        for (const char c : date.substr(at, length)) {
            if (c < '0' || c > '9')
                return -1;
            n = n * 10 + (c - '0');
        }
        return n;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    if (year < 1 || month < 1 || month > 12 || day < 1)
        return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

const std::string* Node::attribute(std::string_view name) const
{
    for (const auto& [key, value] : attributes)
        if (key == name)
            return &value;
    return nullptr;
}

const Node* Node::child(std::string_view name) const
{
    for (const Node& c : children)
        if (c.tag == name)
            return &c;
    return nullptr;
}

bool parse_law_document(std::string_view bytes, Node& root, std::string& error, DocumentFacts* facts)
{
    root = Node{};
    if (facts)
        *facts = DocumentFacts{};
    std::size_t start = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        start = 3;
    // The official data is UTF-8; a broken byte is reported where it is.
    for (std::size_t pos = start; pos < bytes.size();) {
        const Utf8Char c = utf8_decode_at(bytes, pos);
        if (c.code == 0xFFFD && c.bytes == 1) {
            error = line_and_column(bytes, pos) + ": not UTF-8 text";
            return false;
        }
        if (c.code == 0) {
            error = line_and_column(bytes, pos) + ": a NUL character";
            return false;
        }
        pos += c.bytes;
    }
    while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\t' || bytes[start] == '\r' ||
                                    bytes[start] == '\n'))
        ++start;
    bool ok;
    std::size_t dropped = 0;
    if (start < bytes.size() && bytes[start] == '<') {
        ok = parse_xml(bytes, root, error, dropped);
    } else if (start < bytes.size() && bytes[start] == '{') {
        ok = parse_json(bytes, root, error, facts, dropped);
    } else {
        error = start < bytes.size() ? "neither law XML nor law JSON (it starts with neither \"<\" nor \"{\")"
                                     : "the file is empty";
        return false;
    }
    if (!ok)
        return false;
    if (root.tag != "Law") {
        error = "the root element is " + root.tag + ", not Law";
        return false;
    }
    if (facts)
        facts->dropped_controls = dropped;
    return true;
}

} // namespace velto::import
