// `suggest`: a plan for a page, found from the page itself.
#include <memory>
#include <optional>

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "check/JudgementMode.h"
#include "check/PlanPage.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/LazyPageFetcher.h"
#include "cli/OutputFormat.h"
#include "suggest/PageEncoding.h"
#include "suggest/PlanSuggester.h"
#include "suggest/SuggestedPlanStore.h"

namespace lumo::cli {
namespace {

// Titles shown of each suggestion.
constexpr std::size_t kTitlesShown = 5;

struct SuggestOptions {
    std::string url;
    bool json = false;
    std::optional<std::string> saveName;  // --save, with the name given or empty
    bool save = false;
    std::string cookie;
    std::string userAgent = kSuggestionUserAgent;
    std::optional<std::string> encoding;
};

// The status code of a response's header block, or 0.
int statusOf(const Text& headers) {
    const std::size_t blank = headers.find(' ');
    return blank == Text::npos ? 0 : integerOfText(headers.substr(blank + 1, 4));
}

std::string failureText(SuggestionFailure failure) {
    switch (failure) {
        case SuggestionFailure::EmptyPage:
            return "the page is empty";
        case SuggestionFailure::BinaryPage:
            return "the page is not a web page (binary data)";
        case SuggestionFailure::TooLarge:
            return "the page is too large for a list page";
        case SuggestionFailure::TooDeep:
            return "the page's markup is nested too deeply to be read";
        default:
            return "the page holds no list of article links that a plan could follow";
    }
}

nlohmann::json suggestionJson(const Suggestion& s, int rank) {
    const MonitorPlan& p = s.plan;
    const JudgementMode mode = judgementModeOfText(p[MonitorPlan::type]);
    nlohmann::json titles = nlohmann::json::array();
    nlohmann::json addresses = nlohmann::json::array();
    for (std::size_t i = 0; i < s.titles.size() && i < kTitlesShown; ++i) {
        titles.push_back(jsonText(s.titles[i]));
        addresses.push_back(jsonText(s.addresses[i]));
    }
    return {{"rank", rank},
            {"matchCount", s.matchCount},
            {"name", jsonText(p[MonitorPlan::name])},
            {"url", jsonText(p[MonitorPlan::url])},
            {"gbk", p[MonitorPlan::code] == "1"},
            {"before", jsonText(p[MonitorPlan::before])},
            {"after", jsonText(p[MonitorPlan::after])},
            {"regular", jsonText(p[MonitorPlan::regular])},
            {"buquan", jsonText(p[MonitorPlan::buquan])},
            {"tindex", integerOfText(p[MonitorPlan::tindex])},
            {"uindex", integerOfText(p[MonitorPlan::uindex])},
            {"oindex", integerOfText(p[MonitorPlan::oindex])},
            {"mode", static_cast<int>(mode)},
            {"modeName", jsonText(judgementModeCaption(mode))},
            {"titles", std::move(titles)},
            {"addresses", std::move(addresses)}};
}

void printSuggestion(TerminalOutput& out, const Suggestion& s, int rank, int count) {
    const MonitorPlan& p = s.plan;
    const JudgementMode mode = judgementModeOfText(p[MonitorPlan::type]);
    out.utf8Line("suggestion " + std::to_string(rank) + " of " + std::to_string(count) + ": " +
                 std::to_string(s.matchCount) + " articles");
    out.line("  name: " + p[MonitorPlan::name]);
    out.line("  url: " + p[MonitorPlan::url]);
    out.utf8Line(std::string("  encoding: ") + (p[MonitorPlan::code] == "1" ? "gbk" : "utf-8"));
    out.line("  before: " + p[MonitorPlan::before]);
    out.line("  after: " + p[MonitorPlan::after]);
    out.line("  regular: " + p[MonitorPlan::regular]);
    out.line("  buquan: " + p[MonitorPlan::buquan]);
    out.line("  tindex: " + p[MonitorPlan::tindex] + "  uindex: " + p[MonitorPlan::uindex] +
             "  oindex: " + p[MonitorPlan::oindex]);
    out.line("  mode: " + textOfInteger(static_cast<int>(mode)) + " " + judgementModeCaption(mode));
    for (std::size_t i = 0; i < s.titles.size() && i < kTitlesShown; ++i) {
        out.line("  - " + s.titles[i] + "  " + s.addresses[i]);
    }
}

// The page, or nothing after saying why it could not be had.
std::optional<SuggestionResult> suggestFor(CliContext& context, const SuggestOptions& options,
                                           const SuggestionRequest& request) {
    TerminalOutput& out = context.output();
    LazyPageFetcher fetcher;
    FetchRequest fetch;
    fetch.url = request.url;
    fetch.method = FetchMethod::Get;
    fetch.cookie = request.cookie;
    fetch.headers = "User-Agent: " + request.userAgent;
    const Bytes body = fetcher.fetch(fetch);
    if (!fetch.outcome.ok()) {
        out.utf8Error("lumo-cli: cannot fetch " + options.url + ": " +
                      TerminalOutput::terminalText(fetch.outcome.reason()));
        return std::nullopt;
    }
    const int status = statusOf(fetch.headersOut);
    if (status >= 400) {
        out.utf8Error("lumo-cli: " + options.url + " answered with status " +
                      std::to_string(status) + "; nothing to suggest");
        return std::nullopt;
    }
    SuggestionRequest withCharset = request;
    withCharset.charset = PageEncoding::charsetOfHeaders(fetch.headersOut);
    withCharset.finalUrl = fetch.finalUrl;
    SuggestionResult result = PlanSuggester::suggest(body, withCharset);
    if (result.failure != SuggestionFailure::None) {
        out.utf8Error("lumo-cli: " + options.url + ": " + failureText(result.failure) +
                      "; nothing to suggest");
        return std::nullopt;
    }
    return result;
}

int runSuggest(CliContext& context, const SuggestOptions& options) {
    // The database is checked before anything is fetched: a save that cannot happen does nothing.
    if (options.save && !context.openDatabase()) return kExitBadInput;
    SuggestionRequest request;
    request.url = utf8ToGbk(options.url);
    request.cookie = utf8ToGbk(options.cookie);
    request.userAgent = utf8ToGbk(options.userAgent);
    if (options.encoding) request.gbk = *options.encoding == "gbk";
    if (PlanPage::isBlockedAddress(request.url)) {
        context.output().error(gbk("此站不允许监控!"));
        return kExitFailed;
    }
    std::optional<SuggestionResult> result = suggestFor(context, options, request);
    if (!result) return kExitFailed;

    TerminalOutput& out = context.output();
    Suggestion& best = result->suggestions.front();
    if (options.saveName && !options.saveName->empty()) {
        best.plan[MonitorPlan::name] = utf8ToGbk(*options.saveName);
    }
    std::optional<long long> savedId;
    if (options.save) {
        const SuggestedPlanStore::Outcome saved =
            SuggestedPlanStore::save(context.database(), best.plan);
        if (!saved.status.ok()) {
            out.utf8Error("lumo-cli: the plan was not saved (SQLite error " +
                          std::to_string(saved.status.code()) + ")");
            return kExitFailed;
        }
        savedId = saved.id;
    }

    const int count = static_cast<int>(result->suggestions.size());
    if (options.json) {
        nlohmann::json list = nlohmann::json::array();
        for (int i = 0; i < count; ++i)
            list.push_back(suggestionJson(result->suggestions[i], i + 1));
        nlohmann::json document = {{"url", options.url}, {"suggestions", std::move(list)}};
        if (savedId) document["saved"] = *savedId;
        out.utf8Line(jsonDocument(document));
        return kExitSuccess;
    }
    for (int i = 0; i < count; ++i) printSuggestion(out, result->suggestions[i], i + 1, count);
    if (savedId) out.utf8Line("saved as plan " + std::to_string(*savedId) + " (unticked)");
    return kExitSuccess;
}

}  // namespace

void addSuggestCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<SuggestOptions>();
    CLI::App* command = app.add_subcommand(
        "suggest",
        "Fetch a page and suggest plans for its lists of articles, best first: each with its "
        "fields, the number of articles its rule test finds and the first titles. With --save, "
        "store the best one as a new, unticked plan and print its id (exit 1 when the page "
        "cannot be fetched or holds no list)");
    command->add_option("URL", options->url, "The page's address")->required();
    command->add_flag("--json", options->json, "Write the suggestions as JSON");
    CLI::Option* save =
        command
            ->add_option("--save", options->saveName,
                         "Store the best suggestion as a new plan, named NAME (default: the "
                         "page's title)")
            ->expected(0, 1)
            ->type_name("NAME");
    command->add_option("--cookie", options->cookie, "The cookie to send (and the plan's)");
    command->add_option("--user-agent", options->userAgent,
                        "The user agent to send (and the plan's); default: the editor's");
    command
        ->add_option("--encoding", options->encoding,
                     "Read the page as gbk or utf-8 (default: from the response, the page or "
                     "its bytes)")
        ->check(CLI::IsMember({"gbk", "utf-8"}));
    command->callback([&context, options, save] {
        options->save = save->count() > 0;
        context.exitCode = runSuggest(context, *options);
    });
}

}  // namespace lumo::cli
