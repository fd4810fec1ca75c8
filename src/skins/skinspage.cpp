#include "skins/skinspage.h"

#include "controls/guarded.h"
#include "platform/services.h"
#include "settings/settingsstore.h"
#include "settings/settingstable.h"
#include "skins/skinfiles.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace s = tl::setting;

TSkinsPage::TSkinsPage(const tl::SettingsStore &settings, tl::IDialogs &dialogs, QWidget *parent)
    : QWidget(parent),
      m_settings(settings),
      m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frame5"));
    txtskin = new QLineEdit(this);
    txtskin->setObjectName(QStringLiteral("txtskin"));
    txtskin->setReadOnly(true);  // changed only through the folder dialog
    cmdBrowse = new QToolButton(this);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    cmdBrowse->setText(QStringLiteral("..."));
    cmdBrowse->setToolTip(QStringLiteral("Change the directory"));
    SkinList = new QListWidget(this);
    SkinList->setObjectName(QStringLiteral("SkinList"));
    SkinList->setViewMode(QListView::ListMode);
    SkinList->setFlow(QListView::TopToBottom);
    SkinList->setWrapping(true);
    SkinList->setResizeMode(QListView::Adjust);
    SkinList->setSelectionMode(QAbstractItemView::SingleSelection);

    auto *row = new QHBoxLayout;
    row->addWidget(txtskin);
    row->addWidget(cmdBrowse);
    auto *column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(SkinList);

    tl::connectGuarded(cmdBrowse, &QToolButton::clicked, this, [this] { cmdBrowseClick(); });
    tl::connectGuarded(SkinList, &QListWidget::itemSelectionChanged, this, [this] { SkinListSelectItem(); });

    txtskin->setText(m_settings.GetFromReg(s::SkinDir));
    LoadListSkin();
}

void TSkinsPage::LoadListSkin()
{
    const QString folder = txtskin->text();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    SkinList->addItems(tl::skin::listSkins(folder));
}

void TSkinsPage::SkinListSelectItem()
{
    const QList<QListWidgetItem *> selected = SkinList->selectedItems();
    if (!selected.isEmpty())
        Q_EMIT skinChosen(selected.first()->text());
}

void TSkinsPage::txtskinAfterDialog(QString &name, bool &action)
{
    if (!action)
        return;
    SkinList->clear();
    txtskin->setText(name);
    m_settings.SetFromReg(s::SkinDir, name);
    Q_EMIT skinFolderChanged();
    LoadListSkin();
}

void TSkinsPage::cmdBrowseClick()
{
    QString name = m_dialogs.existingFolder(this, QStringLiteral("Select Skin Directory"), txtskin->text());
    bool action = !name.isEmpty();
    txtskinAfterDialog(name, action);
}
