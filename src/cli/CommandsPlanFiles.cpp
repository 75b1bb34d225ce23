// `plans export` and `plans import`: plans as JSON files that people pass around.
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

#include "base/AtomicFile.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "plans/PlanFile.h"

namespace lumo::cli {
namespace {

struct ExportOptions {
    std::vector<long long> ids;
    bool withState = false;
    std::optional<std::string> outputPath;
};

struct ImportOptions {
    std::string path;
    bool replace = false;
};

int runExport(CliContext& context, const ExportOptions& options) {
    if (!context.openDatabase()) return context.openFailure();
    TerminalOutput& out = context.output();
    PlanFile::ExportResult result =
        PlanFile::exportPlans(context.database(), options.ids, options.withState);
    if (!result.status.ok()) {
        out.utf8Error("lumo-cli: " + result.status.reason());
        if (result.status.kind() == Status::Kind::Refused) return kExitBadInput;  // an unknown id
        return result.status.kind() == Status::Kind::Busy ? kExitBusy : kExitFailed;
    }
    if (!options.outputPath) {
        if (!result.json.empty() && result.json.back() == '\n') result.json.pop_back();
        out.utf8Line(result.json);
        return kExitSuccess;
    }
    const Status written = replaceFileAtomically(*options.outputPath, result.json);
    if (!written.ok()) {
        out.utf8Error("lumo-cli: " + *options.outputPath + " was not written: " + written.reason());
        return kExitFailed;
    }
    return kExitSuccess;
}

// The whole file, or nothing with the reason in `error`; "-" is standard input.
std::optional<std::string> readWholeFile(const std::string& path, std::string& error) {
    std::ifstream file;
    if (path != "-") {
        file.open(path, std::ios::binary);
        if (!file) {
            error = "cannot read " + path;
            return std::nullopt;
        }
    }
    std::istream& in = path == "-" ? std::cin : file;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    return content.str();
}

// A name from the file on one line: its own tabs and line breaks are shown escaped too.
std::string nameCell(const std::string& name) {
    return TerminalOutput::visibleControls(name, false);
}

void printImportReport(TerminalOutput& out, const PlanFile::ImportReport& report) {
    for (const std::string& name : report.added) out.utf8Line("added\t" + nameCell(name));
    for (const std::string& name : report.replaced) out.utf8Line("replaced\t" + nameCell(name));
    for (const std::string& name : report.skipped) out.utf8Line("skipped\t" + nameCell(name));
    out.utf8Line(std::to_string(report.added.size()) + " added, " +
                 std::to_string(report.replaced.size()) + " replaced, " +
                 std::to_string(report.skipped.size()) + " skipped (stored already" +
                 (report.skipped.empty() ? "" : "; --replace replaces them") + ")");
}

int runImport(CliContext& context, const ImportOptions& options) {
    TerminalOutput& out = context.output();
    std::string readError;
    const std::optional<std::string> json = readWholeFile(options.path, readError);
    if (!json) {
        out.utf8Error("lumo-cli: " + readError);
        return kExitBadInput;
    }
    if (!context.openDatabase()) return context.openFailure();
    // Bad plans are bad input (exit 2); a failed write after they passed is a failure (exit 1).
    std::vector<std::string> planErrors;
    PlanFile::readPlans(*json, planErrors);
    const PlanFile::ImportReport report =
        planErrors.empty() ? PlanFile::importPlans(context.database(), *json, options.replace)
                           : PlanFile::ImportReport{};
    const std::vector<std::string>& errors = planErrors.empty() ? report.errors : planErrors;
    if (!errors.empty() || !report.ok) {
        for (const std::string& error : errors) {
            out.utf8Error("lumo-cli: " + TerminalOutput::visibleControls(error, false));
        }
        out.utf8Error("lumo-cli: nothing was imported");
        return planErrors.empty() ? kExitFailed : kExitBadInput;
    }
    printImportReport(out, report);
    return kExitSuccess;
}

}  // namespace

void addPlanFileCommands(CLI::App& plans, CliContext& context) {
    auto exportOptions = std::make_shared<ExportOptions>();
    CLI::App* exportCommand = plans.add_subcommand(
        "export",
        "Write plans as a JSON file (UTF-8) to share: the given ones, or every plan. Without "
        "--with-state it leaves out the id, the tick and the last-seen fields");
    exportCommand->add_option("ID", exportOptions->ids, "The plans' ids (default: every plan)");
    exportCommand->add_flag("--with-state", exportOptions->withState,
                            "Also write the id, the tick and the last-seen fields");
    exportCommand
        ->add_option("-o,--output", exportOptions->outputPath,
                     "Write into FILE, replacing it whole")
        ->type_name("FILE");
    exportCommand->callback(
        [&context, exportOptions] { context.exitCode = runExport(context, *exportOptions); });

    auto importOptions = std::make_shared<ImportOptions>();
    CLI::App* importCommand = plans.add_subcommand(
        "import",
        "Add the plans of a JSON file made by export (\"-\" reads standard input). Every plan "
        "is checked first (pattern, indexes, http or https address); any failure imports "
        "nothing. New plans come unticked; a plan whose name is stored already is skipped, "
        "or with --replace takes the file's definition (keeping its id, tick and last-seen "
        "fields). Lists what was added, replaced and skipped");
    importCommand->add_option("FILE", importOptions->path, "The plan file")->required();
    importCommand->add_flag("--replace", importOptions->replace,
                            "Replace the stored plans of the same name");
    importCommand->callback(
        [&context, importOptions] { context.exitCode = runImport(context, *importOptions); });
}

}  // namespace lumo::cli
