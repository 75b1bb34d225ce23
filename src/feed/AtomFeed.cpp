#include "feed/AtomFeed.h"

#include <libxml/uri.h>
#include <libxml/xmlwriter.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "articles/WebLink.h"
#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "store/DatabaseConnection.h"

namespace lumo {
namespace {

constexpr const char* kAtomNamespace = "http://www.w3.org/2005/Atom";
constexpr const char* kTagPrefix = "tag:lumo,2026:";
constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 sequence at `pos` that XML 1.0 may carry, or 0.
std::size_t xmlCharLength(const std::string& text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return (lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r') ? 1 : 0;
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || pos + length > text.size()) return 0;
    char32_t code = lead & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF) return 0;
    if ((code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF) return 0;
    return length;
}

// UTF-8 that XML can carry: whatever it cannot becomes U+FFFD.
std::string xmlSafe(const std::string& utf8) {
    std::string result;
    result.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t length = xmlCharLength(utf8, pos);
        if (length == 0) {
            result += kReplacement;
            ++pos;
        } else {
            result.append(utf8, pos, length);
            pos += length;
        }
    }
    return result;
}

// A GBK text as UTF-8 that XML can carry.
std::string xmlText(const Text& gbkText) {
    return xmlSafe(gbkToUtf8(gbkText));
}

// `text` with every byte that `encode` picks percent-encoded.
template <typename Pick>
std::string percentEncoded(std::string_view text, Pick encode) {
    std::string result;
    for (const char c : text) {
        if (!encode(static_cast<unsigned char>(c))) {
            result += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            result += escaped;
        }
    }
    return result;
}

// An accepted web link as an IRI: the characters an IRI may not hold are percent-encoded.
std::string linkIri(const Text& link) {
    static const std::string_view kEncoded = " \"<>\\^`{|}\x7F";
    return percentEncoded(xmlText(link), [](unsigned char c) {
        return kEncoded.find(static_cast<char>(c)) != std::string_view::npos;
    });
}

// A stored id as its 64-bit integer; 0 for anything that is not one.
long long idOf(const Text& text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

// 64-bit FNV-1a over `pieces`, each followed by a NUL (texts hold none), as 16 hex digits.
std::string hashText(std::initializer_list<std::string_view> pieces) {
    std::uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](unsigned char byte) {
        hash ^= byte;
        hash *= 1099511628211ull;
    };
    for (const std::string_view piece : pieces) {
        for (const char c : piece) add(static_cast<unsigned char>(c));
        add(0);
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

struct XmlCharDeleter {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

// An IRI as a URI: every byte outside ASCII percent-encoded, as a browser sends it.
std::string asciiUri(const std::string& iri) {
    return percentEncoded(iri, [](unsigned char c) { return c >= 0x80; });
}

// An address relative to `page` resolved as a browser would (RFC 3986), when both are usable and
// the result is a web link. libxml2 resolves URIs, so characters beyond ASCII come out
// percent-encoded.
std::optional<std::string> resolvedLink(const Text& address, const Text& page) {
    if (!webLinkToOpen(page)) return std::nullopt;
    const std::string relative = asciiUri(linkIri(address));
    const std::string base = asciiUri(linkIri(page));
    const std::unique_ptr<xmlChar, XmlCharDeleter> resolved(
        xmlBuildURI(BAD_CAST relative.c_str(), BAD_CAST base.c_str()));
    if (!resolved) return std::nullopt;
    const std::string link(reinterpret_cast<const char*>(resolved.get()));
    // Already UTF-8: only the scheme, the host and control bytes are looked at.
    if (!webLinkToOpen(link)) return std::nullopt;
    return link;
}

// The entry's link: the stored web address, or a relative one resolved against its plan's page.
std::optional<std::string> articleLink(const ArticleRecord& article,
                                       const AtomFeed::Options& options) {
    const Text& address = article[ArticleRecord::url];
    if (const std::optional<Text> link = webLinkToOpen(address)) return linkIri(*link);
    if (address.find_first_not_of(" \t\r\n") == Text::npos) return std::nullopt;
    const auto page = options.planPages.find(idOf(article[ArticleRecord::planid]));
    if (page == options.planPages.end()) return std::nullopt;
    return resolvedLink(address, page->second);
}

std::optional<std::time_t> storedTime(const Text& text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &year, &month, &day, &hour, &minute,
                    &second, &used) != 6 ||
        static_cast<std::size_t>(used) != text.size() || year < 1970 || month < 1 || month > 12 ||
        day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
        second > 59) {
        return std::nullopt;
    }
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    std::tm asked = local;
    const std::time_t time = std::mktime(&local);
    // mktime() rolls impossible dates over ("2026-2-30"); such a text is no time.
    if (time == -1 || local.tm_mon != asked.tm_mon || local.tm_mday != asked.tm_mday) {
        return std::nullopt;
    }
    return time;
}

struct WriterDeleter {
    void operator()(xmlTextWriter* writer) const { xmlFreeTextWriter(writer); }
};
struct BufferDeleter {
    void operator()(xmlBuffer* buffer) const { xmlBufferFree(buffer); }
};

// Thin checked calls on one writer: every failure ends the document with an exception.
class Writer {
public:
    Writer() : buffer_(xmlBufferCreate()) {
        if (!buffer_) throw std::runtime_error("cannot create the XML buffer");
        writer_.reset(xmlNewTextWriterMemory(buffer_.get(), 0));
        if (!writer_) throw std::runtime_error("cannot create the XML writer");
        check(xmlTextWriterSetIndent(writer_.get(), 1));
        check(xmlTextWriterSetIndentString(writer_.get(), BAD_CAST "  "));
        check(xmlTextWriterStartDocument(writer_.get(), "1.0", "UTF-8", nullptr));
    }
    void start(const char* name) { check(xmlTextWriterStartElement(writer_.get(), BAD_CAST name)); }
    void attribute(const char* name, const std::string& value) {
        check(xmlTextWriterWriteAttribute(writer_.get(), BAD_CAST name, BAD_CAST value.c_str()));
    }
    void end() { check(xmlTextWriterEndElement(writer_.get())); }
    void text(const std::string& value) {
        check(xmlTextWriterWriteString(writer_.get(), BAD_CAST value.c_str()));
    }
    void element(const char* name, const std::string& value) {
        check(xmlTextWriterWriteElement(writer_.get(), BAD_CAST name, BAD_CAST value.c_str()));
    }
    std::string finish() {
        check(xmlTextWriterEndDocument(writer_.get()));
        writer_.reset();  // flushes into the buffer
        return std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer_.get())),
                           static_cast<std::size_t>(xmlBufferLength(buffer_.get())));
    }

private:
    static void check(int rc) {
        if (rc < 0) throw std::runtime_error("cannot write the feed");
    }
    std::unique_ptr<xmlBuffer, BufferDeleter> buffer_;
    std::unique_ptr<xmlTextWriter, WriterDeleter> writer_;
};

void writeEntry(Writer& out, const ArticleRecord& article, const AtomFeed::Options& options,
                const std::string& fallbackTime) {
    out.start("entry");
    out.element("id", AtomFeed::entryId(article));
    out.element("title", xmlText(article[ArticleRecord::title]));
    out.element("updated",
                AtomFeed::rfc3339(article[ArticleRecord::addtime]).value_or(fallbackTime));
    if (const std::optional<std::string> link = articleLink(article, options)) {
        out.start("link");
        out.attribute("rel", "alternate");
        out.attribute("href", *link);
        out.end();
    } else {
        // An entry needs a link or a content (RFC 4287, 4.1.1).
        const Text& address = article[ArticleRecord::url];
        out.start("content");
        out.attribute("type", "text");
        out.text(xmlText(address.empty() ? article[ArticleRecord::title] : address));
        out.end();
    }
    if (!article[ArticleRecord::planname].empty()) {
        out.start("category");
        out.attribute("term", xmlText(article[ArticleRecord::planname]));
        out.end();
    }
    if (!article[ArticleRecord::other].empty()) {
        out.element("summary", xmlText(article[ArticleRecord::other]));
    }
    out.end();
}

void writeBrokenEntry(Writer& out, const AtomFeed::Options::BrokenPlan& plan,
                      const std::string& fallbackTime) {
    const PlanHealthRecord& health = plan.health;
    out.start("entry");
    out.element("id", AtomFeed::brokenEntryId(plan.planId, health));
    out.element("title", xmlText(gbk("方案失效：") + plan.name));
    out.element("updated", AtomFeed::rfc3339(health.failingSince).value_or(fallbackTime));
    out.start("content");
    out.attribute("type", "text");
    out.text(xmlText(gbk("连续 ") + textOfInteger(health.failures) + gbk(" 次检查失败，自 ") +
                     health.failingSince + gbk(" 起；原因：") + health.reason + gbk("；网址：") +
                     plan.url));
    out.end();
    if (!plan.name.empty()) {
        out.start("category");
        out.attribute("term", xmlText(plan.name));
        out.end();
    }
    out.end();
}

// The plans broken now, in plan id order, by the health records and the plans of `rule`.
std::vector<AtomFeed::Options::BrokenPlan> brokenPlansOf(const PlanHealth::Read& health,
                                                         const QueryResult& plans,
                                                         const AtomFeed::Options& options) {
    std::vector<AtomFeed::Options::BrokenPlan> broken;
    for (const TextList& row : plans.rows) {
        if (row.size() < 3) continue;
        const long long planId = idOf(row[0]);
        if (options.planId && *options.planId != planId) continue;
        const auto found = health.records.find(row[0]);
        if (found == health.records.end() || !found->second.brokenAt(options.brokenAfter)) {
            continue;
        }
        broken.push_back({planId, row[2], row[1], found->second});
    }
    return broken;
}

}  // namespace

std::string AtomFeed::brokenEntryId(long long planId, const PlanHealthRecord& health) {
    return kTagPrefix + std::string("plan/") + std::to_string(planId) + "/broken/" +
           hashText({std::to_string(planId), health.failingSince, health.lastSuccess});
}

Text AtomFeed::query(const Options& options) {
    const int limit = std::clamp(options.limit, 1, 10000);
    const Text where = options.planId ? "planid=" + textOfInteger(*options.planId) : "1";
    return "select * from info where " + where + " order by id desc LIMIT " + textOfInteger(limit);
}

std::string AtomFeed::entryId(const ArticleRecord& article) {
    const std::string hash =
        hashText({article[ArticleRecord::planid], article[ArticleRecord::title],
                  article[ArticleRecord::url], article[ArticleRecord::addtime]});
    return kTagPrefix + std::string("plan/") +
           std::to_string(idOf(article[ArticleRecord::planid])) + "/article/" +
           std::to_string(idOf(article[ArticleRecord::id])) + "/" + hash;
}

std::string AtomFeed::databaseKey(const std::string& hostName, const std::string& canonicalPath) {
    return hashText({hostName, canonicalPath});
}

std::optional<std::string> AtomFeed::rfc3339(const Text& stored) {
    const std::optional<std::time_t> time = storedTime(stored);
    if (!time) return std::nullopt;
    return rfc3339(*time);
}

std::string AtomFeed::rfc3339(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    const int offset = static_cast<int>(local.tm_gmtoff / 60) % (24 * 60);
    const int absolute = offset < 0 ? -offset : offset;
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, offset < 0 ? '-' : '+', absolute / 60, absolute % 60);
    return text;
}

std::string AtomFeed::write(const std::vector<ArticleRecord>& articles, const Options& options,
                            std::time_t now) {
    std::optional<std::time_t> newest;
    for (const ArticleRecord& article : articles) {
        const std::optional<std::time_t> time = storedTime(article[ArticleRecord::addtime]);
        if (time && (!newest || *time > *newest)) newest = time;
    }
    for (const Options::BrokenPlan& plan : options.brokenPlans) {
        const std::optional<std::time_t> time = storedTime(plan.health.failingSince);
        if (time && (!newest || *time > *newest)) newest = time;
    }
    const std::string updated = rfc3339(newest.value_or(now));
    std::string title = options.title;
    const std::string feedRoot =
        kTagPrefix + (options.databaseKey.empty() ? std::string() : "db/" + options.databaseKey);
    std::string feedId = options.databaseKey.empty() ? feedRoot + "articles" : feedRoot;
    if (options.planId) {
        feedId = feedRoot + (options.databaseKey.empty() ? "" : "/") + "plan/" +
                 std::to_string(*options.planId);
        if (!articles.empty() && !articles.front()[ArticleRecord::planname].empty()) {
            title += " - " + xmlText(articles.front()[ArticleRecord::planname]);
        }
    }
    Writer out;
    out.start("feed");
    out.attribute("xmlns", kAtomNamespace);
    out.element("id", feedId);
    out.element("title", xmlSafe(title));
    out.element("updated", updated);
    out.start("author");
    out.element("name", "Lumo");
    out.end();
    out.element("generator", "Lumo");
    if (!options.selfLink.empty()) {
        out.start("link");
        out.attribute("rel", "self");
        out.attribute("href", xmlSafe(options.selfLink));
        out.end();
    }
    for (const Options::BrokenPlan& plan : options.brokenPlans) {
        writeBrokenEntry(out, plan, updated);
    }
    for (const ArticleRecord& article : articles) writeEntry(out, article, options, updated);
    out.end();
    return out.finish();
}

std::optional<std::string> AtomFeed::fromDatabase(DatabaseConnection& database, Options options,
                                                  std::time_t now, QueryResult& failure) {
    QueryResult result = database.query(query(options));
    if (!result.ok) {
        failure = std::move(result);
        return std::nullopt;
    }
    QueryResult pages = database.query("select id,url,name from rule");
    if (!pages.ok) {
        failure = std::move(pages);
        return std::nullopt;
    }
    // A feed that leaves out a broken plan it could not read would say the watch is fine.
    PlanHealth::Read health = PlanHealth::read(database);
    if (!health.query.ok) {
        failure = std::move(health.query);
        return std::nullopt;
    }
    options.brokenPlans = brokenPlansOf(health, pages, options);
    for (const TextList& row : pages.rows) {
        if (row.size() >= 2) options.planPages[idOf(row[0])] = row[1];
    }
    std::vector<ArticleRecord> articles;
    articles.reserve(result.rows.size());
    for (const TextList& row : result.rows) articles.push_back(ArticleRecord::fromRow(row));
    return write(articles, options, now);
}

}  // namespace lumo
