#pragma once
// Services that answer as a test scripts them and record what was asked.

#include "platform/services.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>

namespace tltest {

struct AskedBox {
    QString caption;
    QString text;
    tl::MsgButtons buttons;
    tl::MsgIcon icon;
    QPointer<QWidget> over;  // the window the box belongs to
};

class FakeDialogs : public tl::IDialogs {
public:
    // Answers given in turn; when they run out, Ok / Yes is given.
    std::deque<tl::MsgResult> answers;
    std::deque<QString> openNames, saveNames, folders;
    // The file type picked in turn in save dialogs (its filter's index);
    // none left: the one proposed.
    std::deque<int> saveTypes;
    std::optional<QColor> nextColor;
    std::optional<QFont> nextFont;
    // Passphrases typed in turn; nothing (or none left): Cancel.
    std::deque<std::optional<QString>> passphrases;
    std::vector<tl::PassphraseRequest> passphraseRequests;

    std::vector<AskedBox> boxes;
    std::vector<tl::FileDialogRequest> openRequests, saveRequests;
    // Runs while a box or file dialog is up, as a real one would take the
    // keyboard focus for that time.
    std::function<void()> whileShown;

    tl::MsgResult messageBox(QWidget *parent, const QString &caption, const QString &text, tl::MsgButtons buttons,
                             tl::MsgIcon icon) override
    {
        boxes.push_back({caption, text, buttons, icon, parent});
        shown();
        if (!answers.empty()) {
            const tl::MsgResult r = answers.front();
            answers.pop_front();
            return r;
        }
        return buttons == tl::MsgButtons::YesNo || buttons == tl::MsgButtons::YesNoCancel
                || buttons == tl::MsgButtons::SaveAsDiscardCancel
            ? tl::MsgResult::Yes
            : tl::MsgResult::Ok;
    }
    QString openFileName(QWidget *, tl::FileDialogRequest &request) override
    {
        openRequests.push_back(request);
        shown();
        return take(openNames);
    }
    QString saveFileName(QWidget *, tl::FileDialogRequest &request) override
    {
        saveRequests.push_back(request);
        shown();
        if (!saveTypes.empty()) {
            request.filterIndex = saveTypes.front();
            saveTypes.pop_front();
        }
        return take(saveNames);
    }
    QString existingFolder(QWidget *, const QString &, const QString &) override { return take(folders); }
    std::optional<QColor> color(QWidget *, const QColor &) override { return nextColor; }
    std::optional<QFont> font(QWidget *, const QFont &) override { return nextFont; }
    std::optional<tl::crypto::SecureBytes> passphrase(QWidget *, const tl::PassphraseRequest &request) override
    {
        passphraseRequests.push_back(request);
        shown();
        if (passphrases.empty())
            return std::nullopt;
        const std::optional<QString> typed = passphrases.front();
        passphrases.pop_front();
        if (!typed)
            return std::nullopt;
        return tl::crypto::SecureBytes(typed->toUtf8());
    }

private:
    void shown()
    {
        if (whileShown)
            whileShown();
    }
    static QString take(std::deque<QString> &names)
    {
        if (names.empty())
            return {};
        QString n = names.front();
        names.pop_front();
        return n;
    }
};

class FakeShell : public tl::IShell {
public:
    std::vector<QUrl> opened;
    bool answer = true;
    bool openUrl(const QUrl &url) override
    {
        opened.push_back(url);
        return answer;
    }
};

class FakeSound : public tl::ISound {
public:
    QStringList played;
    void play(const QString &wavFile) override { played << wavFile; }
};

class FakeTray : public tl::ITray {
public:
    bool available = true;
    bool added = false;
    QString tip;
    QIcon icon;
    QMenu *menu = nullptr;
    int adds = 0;

    bool isAvailable() const override { return available; }
    void add(const QIcon &i, const QString &t) override
    {
        icon = i;
        tip = t;
        added = true;
        ++adds;
    }
    void setTip(const QString &t) override { tip = t; }
    void remove() override { added = false; }
    bool isAdded() const override { return added; }
    void setMenu(QMenu *m) override { menu = m; }

    void pressLeft() { Q_EMIT leftPressed(); }
    void appear()
    {
        available = true;
        Q_EMIT availabilityChanged(true);
    }
};

class FakePrinting : public tl::IPrinting {
public:
    bool printer = false;
    // Runs as the print dialog's choices; false cancels it.
    std::function<bool(QPrinter &)> dialog;
    int dialogs = 0;

    bool hasPrinter() override { return printer; }
    bool printDialog(QWidget *, QPrinter &p) override
    {
        ++dialogs;
        return dialog && dialog(p);
    }
};

class FakeHotKey : public tl::IHotKey {
public:
    // What setHotKey answers for a non-empty key.
    Status answer = Status::Registered;
    QKeyCombination key;  // the key last set
    int calls = 0;

    Status setHotKey(QKeyCombination k) override
    {
        ++calls;
        key = k;
        return isEmpty(k) ? Status::None : answer;
    }
    void release() override { key = QKeyCombination(); }
    // The user presses the key somewhere on the desktop.
    void press()
    {
        if (onPressed && !isEmpty(key))
            onPressed();
    }
    static bool isEmpty(QKeyCombination k) { return k.key() == Qt::Key_unknown || k.key() == Qt::Key(0); }
};

// Fakes for every seam; the returned pointers stay valid while the services
// live (inside the TForm1 they were given to).
struct FakeServices {
    FakeDialogs *dialogs;
    FakeShell *shell;
    FakeSound *sound;
    FakeTray *tray;
    FakePrinting *printing;
    FakeHotKey *hotKey;
    tl::Services services;
};

inline FakeServices makeFakeServices()
{
    FakeServices f{};
    auto d = std::make_unique<FakeDialogs>();
    auto s = std::make_unique<FakeShell>();
    auto snd = std::make_unique<FakeSound>();
    auto tray = std::make_unique<FakeTray>();
    f.tray = tray.get();
    f.services.tray = std::move(tray);
    f.dialogs = d.get();
    f.shell = s.get();
    f.sound = snd.get();
    f.services.dialogs = std::move(d);
    f.services.shell = std::move(s);
    f.services.sound = std::move(snd);
    auto printing = std::make_unique<FakePrinting>();
    f.printing = printing.get();
    f.services.printing = std::move(printing);
    auto hotKey = std::make_unique<FakeHotKey>();
    f.hotKey = hotKey.get();
    f.services.hotKey = std::move(hotKey);
    return f;
}

} // namespace tltest
