#include "notes/TfrmTrash.h"

#include "controls/guarded.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <optional>

namespace {

QPushButton *button(QWidget *parent, const char *name)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

// A label without its access-key mark, for screen readers.
QString spoken(QString text)
{
    return text.remove(QLatin1Char('&'));
}

} // namespace

TfrmTrash::TfrmTrash(QWidget *parent, const QString &programFolder)
    : QDialog(parent), m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("frmTrash"));
    resize(460, 280);

    lvTrash = new QTreeWidget(this);
    lvTrash->setObjectName(QStringLiteral("lvTrash"));
    lvTrash->setColumnCount(3);
    lvTrash->setRootIsDecorated(false);
    lvTrash->setUniformRowHeights(true);
    lvTrash->setAllColumnsShowFocus(true);
    lvTrash->header()->setStretchLastSection(false);
    lvTrash->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    lvTrash->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    lvTrash->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);

    cmdRestore = button(this, "cmdRestore");
    cmdDelete = button(this, "cmdDelete");
    cmdEmpty = button(this, "cmdEmpty");
    cmdClose = button(this, "cmdClose");

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdDelete);
    buttons->addWidget(cmdEmpty);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lvTrash);
    layout->addLayout(buttons);

    using tl::connectGuarded;
    connectGuarded(cmdRestore, &QPushButton::clicked, this, [this] {
        if (const tl::TrashedNote *note = chosen())
            Q_EMIT restoreAsked(*note);
    });
    connectGuarded(cmdDelete, &QPushButton::clicked, this, [this] {
        if (const tl::TrashedNote *note = chosen())
            Q_EMIT deleteAsked(*note);
    });
    connectGuarded(cmdEmpty, &QPushButton::clicked, this, [this] {
        if (!m_notes.empty())
            Q_EMIT emptyAsked();
    });
    connectGuarded(cmdClose, &QPushButton::clicked, this, [this] { reject(); });
    connectGuarded(lvTrash, &QTreeWidget::itemActivated, this, [this] { cmdRestore->click(); });
    connectGuarded(lvTrash, &QTreeWidget::currentItemChanged, this, [this] { updateButtons(); });

    loadLanguage({});
    updateButtons();
}

void TfrmTrash::loadLanguage(const QString &language)
{
    if (!language.isEmpty())
        m_texts = tl::i18n::Texts::load(tl::i18n::trashTexts, m_programFolder, language);
    setWindowTitle(text("frmTrash"));
    lvTrash->setHeaderLabels({text("frmTrash.deleted"), text("frmTrash.firstline"), text("frmTrash.size")});
    lvTrash->setAccessibleName(text("frmTrash.list"));
    const std::pair<QPushButton *, std::string_view> captions[] = {{cmdRestore, "frmTrash.cmdRestore"},
                                                                    {cmdDelete, "frmTrash.cmdDelete"},
                                                                    {cmdEmpty, "frmTrash.cmdEmpty"},
                                                                    {cmdClose, "frmTrash.cmdClose"}};
    for (const auto &[b, key] : captions) {
        b->setText(text(key));
        b->setAccessibleName(spoken(text(key)));
    }
    setNotes(std::vector<tl::TrashedNote>(m_notes));
}

void TfrmTrash::setNotes(const std::vector<tl::TrashedNote> &notes)
{
    const tl::TrashedNote *before = chosen();
    const int beforeRow = lvTrash->currentItem() ? lvTrash->indexOfTopLevelItem(lvTrash->currentItem()) : 0;
    const std::optional<tl::TrashedNote> was = before ? std::optional(*before) : std::nullopt;
    m_notes = tl::trash::newestFirst(notes);
    lvTrash->clear();
    const QLocale locale;
    int current = -1;
    for (size_t i = 0; i < m_notes.size(); ++i) {
        const tl::TrashedNote &n = m_notes[i];
        const QString line = tl::trash::firstLine(n.text);
        auto *item = new QTreeWidgetItem(
            lvTrash, {n.deleted.isValid() ? locale.toString(n.deleted.toLocalTime(), QLocale::ShortFormat) : QString(),
                      line.isEmpty() ? text("frmTrash.emptynote") : line,
                      locale.formattedDataSize(n.text.toUtf8().size())});
        item->setData(2, Qt::TextAlignmentRole, int(Qt::AlignRight | Qt::AlignVCenter));
        if (was && n.text == was->text && n.deleted == was->deleted)
            current = int(i);
    }
    if (current < 0 && !m_notes.empty())
        current = std::min(beforeRow, int(m_notes.size()) - 1);
    if (current >= 0)
        lvTrash->setCurrentItem(lvTrash->topLevelItem(current));
    updateButtons();
}

const tl::TrashedNote *TfrmTrash::chosen() const
{
    QTreeWidgetItem *item = lvTrash->currentItem();
    const int row = item ? lvTrash->indexOfTopLevelItem(item) : -1;
    return row >= 0 && row < int(m_notes.size()) ? &m_notes[size_t(row)] : nullptr;
}

void TfrmTrash::updateButtons()
{
    const bool any = chosen() != nullptr;
    cmdRestore->setEnabled(any);
    cmdDelete->setEnabled(any);
    cmdEmpty->setEnabled(!m_notes.empty());
}

void TfrmTrash::keyPressEvent(QKeyEvent *event)
{
    // Del in the list deletes for good (it asks first), as in a file manager.
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && cmdDelete->isEnabled()) {
        cmdDelete->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
