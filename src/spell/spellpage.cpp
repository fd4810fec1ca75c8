#include "spell/spellpage.h"

#include "controls/guarded.h"
#include "settings/preferwidgets.h"
#include "settings/settingsstore.h"
#include "spell/dictionaries.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace tl {

namespace s = setting;
using prefer::checkBox;
using prefer::label;
using prefer::list;
using prefer::named;

SpellingOptions::SpellingOptions(const SettingsStore &settings, QWidget *parent)
    : QWidget(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("SpellingOptions"));
    resize(256, 110);
    cbSpell = checkBox(this, "cbSpell", QString(), 0, 0);
    lblSpellLanguage = label(this, "lblSpellLanguage", QString(), 0, 27);
    cbSpellLanguage = list(this, "cbSpellLanguage", 77, 24, 168);
    lblDictionaries = label(this, "lblDictionaries", QString(), 0, 52);
    lblDictionaries->setWordWrap(true);
    lblDictionaries->setGeometry(0, 52, 245, 56);
    lblDictionaries->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    connectGuarded(cbSpell, &QCheckBox::toggled, this, [this](bool on) {
        if (m_reading)
            return;
        m_settings.SetFromReg(s::SpellCheck, on ? QStringLiteral("true") : QStringLiteral("false"));
        cbSpellLanguage->setEnabled(on);
        Q_EMIT changed();
    });
    connectGuarded(cbSpellLanguage, &QComboBox::activated, this, [this] {
        m_settings.SetFromReg(s::SpellLanguage, cbSpellLanguage->currentData().toString());
        Q_EMIT changed();
    });
    showTexts();
}

void SpellingOptions::readSettings()
{
    m_reading = true;
    const bool on = m_settings.isOn(s::SpellCheck);
    cbSpell->setChecked(on);
    cbSpellLanguage->setEnabled(on);
    const auto installed = spell::findDictionaries(spell::dictionaryFolders());
    const QString chosen = m_settings.GetFromReg(s::SpellLanguage);
    cbSpellLanguage->clear();
    cbSpellLanguage->addItem(m_texts["Spelling.AsInterface"], QString());
    QStringList names;
    for (const spell::Dictionary &d : installed) {
        cbSpellLanguage->addItem(spell::displayName(d.name), d.name);
        names << d.name;
    }
    cbSpellLanguage->setCurrentIndex(std::max(0, cbSpellLanguage->findData(chosen)));
    lblDictionaries->setText(m_texts["Spelling.Installed"] + QLatin1Char(' ')
                             + (names.isEmpty() ? m_texts["Spelling.NoneInstalled"] : names.join(QStringLiteral(", "))));
    m_reading = false;
}

void SpellingOptions::loadLanguage(const QString &programFolder, const QString &language)
{
    m_texts = i18n::Texts::load(i18n::spellTexts, programFolder, language);
    showTexts();
}

void SpellingOptions::showTexts()
{
    cbSpell->setText(m_texts["Spelling.CheckAsYouType"]);
    cbSpell->adjustSize();
    cbSpell->setAccessibleName(m_texts["Spelling.CheckAsYouType"]);
    lblSpellLanguage->setText(m_texts["Spelling.LanguageLabel"]);
    lblSpellLanguage->adjustSize();
    lblSpellLanguage->setBuddy(cbSpellLanguage);
    cbSpellLanguage->setAccessibleName(m_texts["Spelling.Language"]);
    lblDictionaries->setAccessibleName(m_texts["Spelling.Installed"]);
    if (cbSpellLanguage->count() > 0)
        cbSpellLanguage->setItemText(0, m_texts["Spelling.AsInterface"]);
}

void SpellingOptions::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    readSettings();
}

} // namespace tl
