// brennic-sim: runs the mirror model from the command line and writes the
// result table (or a readiness summary) exactly as the window exports it.
#include "EnhStringList.h"
#include "FileOutput.h"
#include "FiniteDiff_1D.h"
#include "InputFields.h"
#include "LibPlatform.h"
#include "LibStandard.h"
#include "NumberText.h"
#include "ResultText.h"
#include "RunSetup.h"
#include "Summary.h"

#include <CLI/CLI.hpp>

#include <array>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <unistd.h>

using namespace brennic;

namespace {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int Material(const std::string& text)
{
    const std::u16string name = FromUtf8(text);
    for (int i = 0; i < GlassMaterialCount; ++i)
        if (TextEqualsIgnoreCase(name, FromUtf8(GlassMaterials[i].Name)))
            return i;
    std::int32_t index;
    if (TryStrToInt(name, index) && index >= 0 && index < GlassMaterialCount)
        return index;
    std::string known;
    for (const auto& m : GlassMaterials)
        known += (known.empty() ? "" : ", ") + std::string(m.Name);
    throw UsageError("--material: unknown material '" + text + "' (choose one of " + known + ", or 0 to 5)");
}

char16_t Separator(const std::string& option, const std::string& text)
{
    const std::u16string s = FromUtf8(text);
    if (s.size() != 1 || s[0] < 0x20 || (s[0] >= u'0' && s[0] <= u'9'))
        throw UsageError(option + ": '" + text + "' is not a single separator character");
    return s[0];
}

// Where the bytes go: standard output or a file replaced atomically.
class Sink {
public:
    explicit Sink(const std::string& path)
    {
        if (!path.empty())
            file_ = std::make_unique<TAtomicFile>(path);
        buffer_.reserve(1 << 16);
    }
    void Put(std::string_view bytes)
    {
        buffer_ += bytes;
        if (buffer_.size() >= (1 << 16))
            Flush();
    }
    void Finish()
    {
        Flush();
        if (file_)
            file_->Commit();
        else if (std::fflush(stdout) != 0)
            throw EWriteError();
    }

private:
    void Flush()
    {
        if (file_)
            file_->Write(buffer_);
        else if (std::fwrite(buffer_.data(), 1, buffer_.size(), stdout) != buffer_.size())
            throw EWriteError();
        buffer_.clear();
    }
    std::unique_ptr<TAtomicFile> file_;
    std::string buffer_;
};

// A bar on a terminal's standard error, once a run has taken a second.
class Progress {
public:
    explicit Progress(double duration) : duration_(duration), enabled_(::isatty(STDERR_FILENO) == 1) {}
    void Update(double time, std::size_t report)
    {
        if (!enabled_ || (report & 1023) != 0 || duration_ <= 0)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (now - start_ < std::chrono::seconds(1) || now - lastDrawn_ < std::chrono::milliseconds(100))
            return;
        lastDrawn_ = now;
        shown_ = true;
        const double fraction = std::min(1.0, time / duration_);
        const int filled = static_cast<int>(fraction * 40);
        std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                     std::string(40 - filled, ' ').c_str(), static_cast<int>(fraction * 100));
        std::fflush(stderr);
    }
    ~Progress()
    {
        if (shown_)
            std::fprintf(stderr, "\r%s\r", std::string(48, ' ').c_str());
    }

private:
    double duration_;
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastDrawn_{};
};

// "--option=" with nothing after the sign is refused here: the parser
// would take the next argument as its value.
void RefuseEmptyValues(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--")
            return;
        if (arg.size() > 3 && arg.substr(0, 2) == "--" && arg.back() == '=' && arg.find('=') == arg.size() - 1)
            throw UsageError(std::string(arg.substr(0, arg.size() - 1)) + ": the value is empty");
    }
}

int Run(int argc, char** argv)
{
    CLI::App app{"Predicts how a telescope mirror follows the night air and writes the results as CSV.",
                 "brennic-sim"};
    app.set_version_flag("--version", std::string("brennic-sim ") + "0.1.0");
    std::array<std::string, FieldCount> values;
    std::string material = "Pyrex", output, decimalSep, listSep;
    bool summary = false;
    for (int i = 0; i < FieldCount; ++i) {
        const TInputField& f = InputFields[i];
        values[i] = ToUtf8(f.Default);
        const std::string help = std::string(f.Help) + (f.PlainUnit[0] ? std::string(", ") + f.PlainUnit : "");
        app.add_option(f.Option, values[i], help)->capture_default_str();
    }
    app.add_option("--material", material, "glass: name (any case) or index 0-5")->capture_default_str();
    app.add_option("--output", output, "file to write (default: standard output)");
    app.add_option("--decimal-separator", decimalSep, "decimal separator of the table (default: locale)");
    app.add_option("--list-separator", listSep, "field separator of the table (default: locale)");
    app.add_flag("--summary", summary, "print when the mirror is ready instead of the table");

    try {
        RefuseEmptyValues(argc, argv);
        app.parse(argc, argv);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "brennic-sim: %s\n", e.what());
        return 2;
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "brennic-sim: %s\n", e.what());
        return 2;
    }

    TBrennicOneD solver;
    TRegionalSettings settings;
    try {
        TInputTexts texts;
        for (int i = 0; i < FieldCount; ++i)
            texts.Text(i) = FromUtf8(values[i]);
        texts.Material = Material(material);
        try {
            ApplyInputs(texts, u'.', solver);  // option values always use "."
        } catch (const EFieldConvertError& e) {
            throw UsageError(std::string(InputFields[e.Field].Option) + ": " + e.what());
        }
        std::optional<char16_t> dec = SystemDecimalSeparator(), list = SystemListSeparator();
        if (!decimalSep.empty())
            dec = Separator("--decimal-separator", decimalSep);
        if (!listSep.empty())
            list = Separator("--list-separator", listSep);
        if (dec && list && *dec == *list && !listSep.empty() && !decimalSep.empty())
            throw UsageError("--list-separator: '" + listSep + "' equals the decimal separator");
        settings = MakeRegionalSettings(dec, list);
        PlanRun(solver, u'.', &texts, TFieldNaming::Option, TMemoryUse::Streams);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "brennic-sim: %s\n", e.what());
        return 2;
    } catch (const EBrennicError& e) {
        std::fprintf(stderr, "brennic-sim: %s\n", e.what());
        return 2;
    }

    RemoveTemporaryFilesOnSignals();
    try {
        Sink sink(output);
        TReadiness readiness;
        Progress progress(solver.Duration);
        std::u16string line;
        std::size_t reports = 0;
        if (!summary) {
            line = ResultHeader(settings);
            line += u"\r\n";
            sink.Put(EncodeSystem8Bit(line));
        }
        solver.OnStep = [&](std::span<const double>, std::span<const double> temps, double t) {
            const TStepValues v = StepValues(temps, t);
            if (summary) {
                readiness.Add(v);
            } else {
                line.clear();
                AppendResultRow(line, v, settings);
                line += u"\r\n";
                sink.Put(EncodeSystem8Bit(line));
            }
            progress.Update(t, ++reports);
        };
        solver.Execute();
        if (summary)
            sink.Put(readiness.Report(settings.DecimalSeparator));
        sink.Finish();
    } catch (const EFCreateError& e) {
        std::fprintf(stderr, "brennic-sim: %s\n", e.what());
        return 1;
    } catch (const EWriteError& e) {
        const std::string where = output.empty() ? "standard output" : "\"" + FullPath(output) + "\"";
        std::fprintf(stderr, "brennic-sim: cannot write %s: %s\n", where.c_str(),
                     errno ? std::strerror(errno) : e.what());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // Only the character type follows the locale (for the file encoding);
    // numbers never do.
    std::setlocale(LC_CTYPE, "");
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "brennic-sim: %s\n", e.what());
        return 1;
    }
}
