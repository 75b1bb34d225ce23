// `sql` and `init`: the SQL console, and a new empty lumo.sdb.
#include <memory>

#include "base/GbkCodec.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/TerminalMessagePresenter.h"
#include "store/DatabaseFile.h"
#include "store/SqlRunner.h"
#include "suggest/NullStatusLog.h"

namespace lumo::cli {
namespace {

struct SqlOptions {
    std::string statement;
};

struct InitOptions {
    std::string path;
};

int runSqlCommand(CliContext& context, const SqlOptions& options) {
    if (!context.openDatabase()) return context.openFailure();
    // The console shows its result in a box of its own; here the result line is the output, so
    // the log line that repeats it is not written.
    NullStatusLog log;
    TerminalMessagePresenter messages(context.output());
    SqlRunner sql(context.database(), log, messages);
    // Typed in UTF-8; the program's texts are GBK.
    const Text result = sql.runSql(utf8ToGbk(options.statement));
    // A failure has been shown on standard error already ("执行出错！错误代码：<code>").
    static const Text kSuccess = gbk("成功！SQL：");
    if (result.rfind(kSuccess, 0) != 0) return kExitFailed;
    context.output().line(result);
    return kExitSuccess;
}

int runInit(CliContext& context, const InitOptions& options) {
    const Status created = DatabaseFile::create(options.path);
    switch (created.kind()) {
        case Status::Kind::Ok:
            context.output().utf8Line("created " + options.path);
            return kExitSuccess;
        case Status::Kind::Exists:
            context.output().utf8Error("lumo-cli: " + created.reason());
            return kExitBadInput;
        default:
            context.output().utf8Error("lumo-cli: " + created.reason());
            return kExitFailed;
    }
}

}  // namespace

void addSqlCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<SqlOptions>();
    CLI::App* command = app.add_subcommand(
        "sql",
        "Run SQL on the database, as the SQL console does: \"成功！SQL：<statement>\" and exit 0, "
        "or \"执行出错！错误代码：<code>\" and exit 1");
    command->add_option("STATEMENT", options->statement, "The SQL text (one or more statements)")
        ->required();
    command->callback([&context, options] { context.exitCode = runSqlCommand(context, *options); });
}

void addInitCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<InitOptions>();
    CLI::App* command = app.add_subcommand(
        "init", "Create an empty lumo.sdb at PATH; an existing file is never replaced");
    command->add_option("PATH", options->path, "The new database file")->required();
    command->callback([&context, options] { context.exitCode = runInit(context, *options); });
}

}  // namespace lumo::cli
