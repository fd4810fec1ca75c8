#pragma once
// Dialogs, the shell, sound, printing, the global hot key and the tray go
// through these interfaces. The program passes the real ones (qtservices.h);
// tests pass fakes that record the calls and answer as scripted. Other ways
// out of the process are taken directly: files, the second start's socket
// (singleinstance.h), signals (unixsignals.h), the desktop's own files and
// tools (settings/integration.h), the clipboard and the window system.

#include "crypto/securebytes.h"
#include "platform/tray.h"

#include <QColor>
#include <QFont>
#include <QKeyCombination>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

namespace tl {

// SaveAsDiscardCancel: "Save As...", "Discard", "Cancel", answered Yes, No, Cancel.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, SaveAsDiscardCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgResult { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    QString caption;
    QString folder;         // start folder
    QString fileName;       // proposed name
    QString filter;         // "Notes (*.nts);;All files (*)"
    QString defaultSuffix;  // "nts"
    int filterIndex = 0;    // in: chosen at start; out: the one picked
};

// The passphrase of an encrypted file: one password field, focused; Return
// confirms. A new passphrase (again set) is typed a second time, and the two
// must match. All texts in the interface language.
struct PassphraseRequest {
    QString caption;
    QString prompt;   // the field's label, naming the file
    QString again;    // the second field's label; empty: asked once
    QString problem;  // said above the field: why it is asked again
    QString mismatch; // said when the two differ
    QString ok, cancel;
};

class IDialogs {
public:
    virtual ~IDialogs() = default;
    virtual MsgResult messageBox(QWidget *parent, const QString &caption, const QString &text,
                                 MsgButtons buttons, MsgIcon icon) = 0;
    // Empty when cancelled. The save dialog asks before overwriting.
    virtual QString openFileName(QWidget *parent, FileDialogRequest &request) = 0;
    virtual QString saveFileName(QWidget *parent, FileDialogRequest &request) = 0;
    virtual QString existingFolder(QWidget *parent, const QString &caption, const QString &folder) = 0;
    virtual std::optional<QColor> color(QWidget *parent, const QColor &initial) = 0;
    virtual std::optional<QFont> font(QWidget *parent, const QFont &initial) = 0;
    // The passphrase typed, as UTF-8 in locked memory; nothing when cancelled.
    virtual std::optional<crypto::SecureBytes> passphrase(QWidget *parent, const PassphraseRequest &request) = 0;
};

class IShell {
public:
    virtual ~IShell() = default;
    // False when nothing could be asked to open it.
    virtual bool openUrl(const QUrl &url) = 0;
};

class ISound {
public:
    virtual ~ISound() = default;
    // Plays a short wav file without waiting; silent without an audio device.
    virtual void play(const QString &wavFile) = 0;
};

class IPrinting {
public:
    virtual ~IPrinting() = default;
    // At least one printer is installed.
    virtual bool hasPrinter() = 0;
    // The print dialog on printer; false when cancelled. The dialog may
    // also send the job to a file.
    virtual bool printDialog(QWidget *parent, QPrinter &printer) = 0;
};

// One global key that calls the window up from anywhere on the desktop.
class IHotKey {
public:
    enum class Status {
        None,        // no key chosen, nothing registered
        Registered,  // the key reaches onPressed
        Taken,       // another program holds the combination
        Unavailable, // the desktop offers no global keys to programs
    };
    virtual ~IHotKey() = default;
    // Replaces the earlier key; an empty combination (Qt::Key_unknown or 0)
    // releases it.
    virtual Status setHotKey(QKeyCombination key) = 0;
    virtual void release() = 0;
    // Run on the UI thread at each press of the key.
    std::function<void()> onPressed;
};

struct Services {
    std::unique_ptr<IDialogs> dialogs;
    std::unique_ptr<IShell> shell;
    std::unique_ptr<ISound> sound;
    std::unique_ptr<ITray> tray;
    std::unique_ptr<IPrinting> printing;
    std::unique_ptr<IHotKey> hotKey;
};

} // namespace tl
