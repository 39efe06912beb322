// What the desktop platform tells or does for the program.
#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace brennic {

// The decimal separator of the user's numeric locale (LC_ALL, LC_NUMERIC,
// LANG), or nothing when the system reports none.
std::optional<char16_t> SystemDecimalSeparator();
// The list separator of the user's regional settings; desktops without such
// a setting report nothing.
std::optional<char16_t> SystemListSeparator();

// Show commands, as the desktop shell knows them.
inline constexpr int SW_SHOW = 5;

// ShellOpen's results: above 32 means the shell took the request.
inline constexpr int ShellOpenStarted = 42;
inline constexpr int ShellOpenFailed = 2;

// How the shell is reached. openAssociated starts the application associated
// with the target without waiting for it, returns false when it cannot even
// try, and calls noAssociation later, from the event loop, if it turns out
// that no application is associated. chooseApplication asks the desktop to
// let the user pick one.
struct TShellOps {
    std::function<bool(const QString& target, const QString& parameters, const QString& directory,
                       std::function<void()> noAssociation)>
        openAssociated;
    // Asks the desktop to let the user choose a program; false when it cannot
    // even be asked. failed is called later when the desktop answers with an
    // error or not at all within PortalAnswerMs.
    std::function<bool(const QString& target, std::function<void()> failed)> chooseApplication;
};

// How long the desktop portal has to answer before the caller's own
// fallback takes over.
inline constexpr int PortalAnswerMs = 2000;

// The desktop's own: xdg-open, then the desktop portal's chooser.
TShellOps DesktopShellOps();
// Replaces how the shell is reached (tests); an empty member means the default.
void SetShellOps(const TShellOps& ops);

// Hands a file or address to the desktop shell, falling back to the
// desktop's chooser when no application is associated with it. Never waits
// for the other program and never shows anything of its own.
int ShellOpen(const QString& fileName, const QString& parameters, const QString& directory, int showCommand);
// The same, calling noApplication (at once or later) when no program takes it.
int ShellOpen(const QString& fileName, const QString& parameters, const QString& directory, int showCommand,
              const std::function<void()>& noApplication);

}  // namespace brennic
