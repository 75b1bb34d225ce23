// `latest` and `favourites`: the two article lists of the window, with its queries.
#include <memory>

#include "articles/ArticleList.h"
#include "base/TextOps.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/OutputFormat.h"

namespace lumo::cli {
namespace {

struct ListOptions {
    int count = 100;
    bool json = false;
};

// The `info` column names, the keys of the JSON objects.
const char* columnKey(ArticleRecord::Column column) {
    static const char* const kNames[ArticleRecord::kColumnCount] = {
        "id", "planname", "planid", "title", "url", "other", "addtime", "issoucang"};
    return kNames[column];
}

// The article's id is a number in JSON; every other cell a string as the list shows it.
nlohmann::json cellJson(ArticleRecord::Column column, const Text& cell) {
    if (column == ArticleRecord::id) return integer64OfText(cell);
    return jsonText(cell);
}

int printList(CliContext& context, const ArticleList& list, const ListOptions& options) {
    if (!context.openDatabase()) return context.openFailure();
    const QueryResult result = context.database().query(list.query());
    if (!result.ok) return context.reportFailedRead("the articles", result);
    std::vector<TextList> rows = list.rowsOf(result);
    if (rows.size() > static_cast<std::size_t>(options.count)) {
        rows.resize(static_cast<std::size_t>(options.count));
    }
    TerminalOutput& out = context.output();
    if (options.json) {
        nlohmann::json articles = nlohmann::json::array();
        for (const TextList& row : rows) {
            nlohmann::json article = nlohmann::json::object();
            for (std::size_t c = 0; c < list.columns().size(); ++c) {
                const ArticleRecord::Column source = list.columns()[c].source;
                article[columnKey(source)] = cellJson(source, row[c]);
            }
            articles.push_back(std::move(article));
        }
        out.utf8Line(jsonDocument(articles));
        return kExitSuccess;
    }
    TextList captions;
    for (const ArticleList::Column& column : list.columns()) captions.push_back(column.caption);
    out.utf8Line(tsvLine(captions));
    for (const TextList& row : rows) out.utf8Line(tsvLine(row));
    return kExitSuccess;
}

}  // namespace

void addLatestCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<ListOptions>();
    CLI::App* command = app.add_subcommand(
        "latest", "List the latest articles, newest first (the window's list of 最新文章)");
    command->add_option("-n", options->count, "Show at most N articles (1 to 100)")
        ->check(CLI::Range(1, 100))
        ->capture_default_str();
    command->add_flag("--json", options->json, "Write the list as JSON");
    command->callback([&context, options] {
        context.exitCode = printList(context, ArticleList::latest(), *options);
    });
}

void addFavouritesCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<ListOptions>();
    CLI::App* command = app.add_subcommand(
        "favourites", "List the favourite articles, newest first (the window's list of 我的收藏)");
    command->add_flag("--json", options->json, "Write the list as JSON");
    command->callback([&context, options] {
        context.exitCode = printList(context, ArticleList::favourites(), *options);
    });
}

}  // namespace lumo::cli
