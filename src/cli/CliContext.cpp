#include "cli/CliContext.h"

#include <cstdlib>

#include "base/GbkCodec.h"
#include "cli/ExitCode.h"
#include "store/DatabaseFile.h"
#include "store/DatabaseLocation.h"

namespace lumo::cli {

CliContext::CliContext(TerminalOutput& output, std::string programDirectory)
    : output_(output), programDirectory_(std::move(programDirectory)) {}

std::string CliContext::databasePath() const {
    return DatabaseLocation::resolve(
        databaseOption_, std::getenv(DatabaseLocation::kEnvironmentVariable), programDirectory_);
}

bool CliContext::openDatabase() {
    const std::string path = databasePath();
    const Status opened = DatabaseFile::openExisting(database_, path);
    switch (opened.kind()) {
        case Status::Kind::Ok:
            return true;
        case Status::Kind::Missing:
            output_.error(gbk("数据库文件不存在！"));
            openFailure_ = kExitBadInput;
            break;
        case Status::Kind::Busy:
            openFailure_ = kExitBusy;
            break;
        case Status::Kind::Failed:
            openFailure_ = kExitFailed;
            break;
        default:
            openFailure_ = kExitBadInput;
            break;
    }
    output_.utf8Error("lumo-cli: " + opened.reason());
    return false;
}

int CliContext::reportFailedRead(const std::string& what, const QueryResult& result) {
    output_.utf8Error("lumo-cli: " + what + " could not be read from " + databasePath() + ": " +
                      result.message + (result.busy() ? " (another program holds it locked)" : ""));
    return result.busy() ? kExitBusy : kExitFailed;
}

}  // namespace lumo::cli
