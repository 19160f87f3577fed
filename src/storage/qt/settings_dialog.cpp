#include "storage/qt/settings_dialog.h"

#include "storage/formatting.h"
#include "storage/number_format.h"
#include "storage/qt/localise.h"
#include "storage/startup.h"
#include "texts/qt/asker.h"
#include "texts/qt/dialog_parts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace cronovolta {

namespace {

// The integer part of the absolute value, at least 1, within a 16-bit field.
int atLeastOne(const QString& text) {
    const double v = std::trunc(std::fabs(numericValue(text.toStdString())));
    return static_cast<int>(std::clamp(v, 1.0, 32767.0));
}

// A frame of option buttons, one per row; the last option takes the number in the box
// beside it.
template <std::size_t N>
QGroupBox* optionFrame(QWidget* parent, const QString& frameName, const QString& optionName,
                       std::array<QRadioButton*, N>& options, QButtonGroup*& group,
                       QLineEdit*& number, const QString& numberName) {
    auto* frame = new QGroupBox(parent);
    frame->setObjectName(frameName);
    auto* grid = new QGridLayout(frame);
    group = new QButtonGroup(frame);
    for (int i = 0; i < static_cast<int>(N); ++i) {
        auto* option = new QRadioButton(frame);
        option->setObjectName(optionName + QStringLiteral("_%1").arg(i));
        group->addButton(option, i);
        grid->addWidget(option, i, 0);
        options[static_cast<std::size_t>(i)] = option;
    }
    number = new QLineEdit(frame);
    number->setObjectName(numberName);
    number->setMaxLength(6);
    fitNumberBox(number);
    grid->addWidget(number, static_cast<int>(N) - 1, 1);
    return frame;
}

} // namespace

SettingsDialog::SettingsDialog(UiContext& ui, Asker& asker, bool fullLayout, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_asker(asker), m_full(fullLayout),
      m_languageAtOpening(ui.app.programConfig.language),
      // A first start has no version yet: it is the program's own, as for a stored 0.
      m_version(ui.app.programConfig.version != 0
                    ? ui.app.programConfig.version
                    : static_cast<std::uint8_t>(CRONOVOLTA_VERSION_MINOR)) {
    setObjectName(QStringLiteral("ConfiguracioPrg"));
    build();
    localiseScreen(this, "ConfiguracioPrg", m_ui);
    fillFromSettings(m_ui.app.programConfig);
    if (m_full && parent != nullptr) {
        adjustSize();
        const QRect over = parent->frameGeometry();
        move(over.center().x() - width() / 2, y());
    }
}

SettingsDialog::~SettingsDialog() {
    stopFieldRules(this);
}

void SettingsDialog::build() {
    auto* top = new QVBoxLayout(this);
    m_top = top;
    auto* columns = new QHBoxLayout;
    top->addLayout(columns);

    auto* left = new QGridLayout;
    columns->addLayout(left);
    left->addWidget(namedLabel(this, QStringLiteral("TextIdioma")), 0, 0);
    m_language = new QComboBox(this);
    m_language->setObjectName(QStringLiteral("LlIdioma"));
    left->addWidget(m_language, 0, 1);
    left->addWidget(namedLabel(this, QStringLiteral("TextHardware")), 1, 0);
    m_model = new QComboBox(this);
    m_model->setObjectName(QStringLiteral("Hardware"));
    left->addWidget(m_model, 1, 1);

    auto* colourFrame = new QGroupBox(this);
    colourFrame->setObjectName(QStringLiteral("MarcColors"));
    auto* colourGrid = new QGridLayout(colourFrame);
    for (int slot = 1; slot <= 5; ++slot) {
        QLabel* description = namedLabel(colourFrame, QStringLiteral("Descripcio_%1").arg(slot));
        description->setAutoFillBackground(true);
        description->setMargin(3);
        auto* colour = new QComboBox(colourFrame);
        colour->setObjectName(QStringLiteral("ValorColor_%1").arg(slot));
        colourGrid->addWidget(description, slot - 1, 0);
        colourGrid->addWidget(colour, slot - 1, 1);
        m_descriptions[slot - 1] = description;
        m_colours[slot - 1] = colour;
        connect(colour, &QComboBox::currentIndexChanged, this, [this, slot] { paintSlot(slot); });
    }
    left->addWidget(colourFrame, 2, 0, 1, 2);
    auto* version = namedLabel(this, QStringLiteral("TextVersio"));
    auto* versionNumber = namedLabel(this, QStringLiteral("Versio"));
    versionNumber->setText(QString::fromStdString(formatNumber(m_version, "##")));
    auto* versionRow = new QHBoxLayout;
    versionRow->setSpacing(0);
    versionRow->addWidget(version);
    versionRow->addWidget(versionNumber);
    versionRow->addStretch();
    left->addLayout(versionRow, 3, 0, 1, 2);

    auto* right = new QVBoxLayout;
    columns->addLayout(right);
    QButtonGroup* lapFractionGroup = nullptr;
    m_lapFractionFrame =
        optionFrame(this, QStringLiteral("DemanarComes"), QStringLiteral("OpcioComes"),
                    m_lapFraction, lapFractionGroup, m_lapFractionPass, QStringLiteral("MngComes"));
    right->addWidget(m_lapFractionFrame);
    QButtonGroup* scrollGroup = nullptr;
    m_scrollFrame =
        optionFrame(this, QStringLiteral("AutoScroll"), QStringLiteral("OpcioAutoScroll"),
                    m_autoScroll, scrollGroup, m_scrollSeconds, QStringLiteral("TempsScroll"));
    m_seconds = namedLabel(m_scrollFrame, QStringLiteral("TextSegons"));
    static_cast<QGridLayout*>(m_scrollFrame->layout())->addWidget(m_seconds, 1, 2);
    right->addWidget(m_scrollFrame);
    right->addStretch();
    m_lapFractionFrame->setVisible(m_full);
    m_scrollFrame->setVisible(m_full);

    top->addLayout(closeButtons(this, [this] { return save(); }));

    connect(m_language, &QComboBox::activated, this, &SettingsDialog::chooseLanguage);
    connect(lapFractionGroup, &QButtonGroup::idToggled, this, [this] { updateEnabling(); });
    connect(scrollGroup, &QButtonGroup::idToggled, this, [this] { updateEnabling(); });
    connect(m_lapFractionPass, &QLineEdit::editingFinished, this,
            [this] { leaveNumberBox(m_lapFractionPass); });
    connect(m_scrollSeconds, &QLineEdit::editingFinished, this,
            [this] { leaveNumberBox(m_scrollSeconds); });
}

void SettingsDialog::fillFromSettings(const ProgramSettings& settings) {
    m_language->setCurrentIndex(std::clamp<int>(settings.language, 0, 1));
    m_model->setCurrentIndex(std::clamp(static_cast<int>(settings.counterModel), 0, 4));
    for (int slot = 1; slot <= 5; ++slot) {
        const std::size_t i = static_cast<std::size_t>(slot - 1);
        const int colour = i < settings.colours.size() ? settings.colours[i] : 0;
        m_colours[i]->setCurrentIndex(std::clamp(colour, 0, 15));
        paintSlot(slot);
    }
    if (settings.lapFractionPolicy > 0) {
        m_lapFraction[2]->setChecked(true);
        m_lapFractionPass->setText(QString::number(settings.lapFractionPolicy));
    } else {
        m_lapFraction[settings.lapFractionPolicy == -1 ? 1 : 0]->setChecked(true);
    }
    if (settings.autoScroll > 0) {
        m_autoScroll[1]->setChecked(true);
        m_scrollSeconds->setText(QString::number(settings.autoScroll));
    } else {
        m_autoScroll[0]->setChecked(true);
    }
    updateEnabling();
}

void SettingsDialog::chooseLanguage(int language) {
    m_ui.app.programConfig.language = static_cast<std::int16_t>(language);
    localiseScreen(this, "ConfiguracioPrg", m_ui);
}

void SettingsDialog::paintSlot(int slot) {
    const std::size_t i = static_cast<std::size_t>(slot - 1);
    const Rgb c = qbColor(m_colours[i]->currentIndex());
    const bool dark = c.r * 299 + c.g * 587 + c.b * 114 < 128000;
    QPalette palette = m_descriptions[i]->palette();
    palette.setColor(QPalette::Window, QColor(c.r, c.g, c.b));
    palette.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
    m_descriptions[i]->setPalette(palette);
}

void SettingsDialog::updateEnabling() {
    m_lapFractionFrame->setEnabled(m_full);
    m_scrollFrame->setEnabled(m_full);
    m_lapFractionPass->setEnabled(m_lapFraction[2]->isChecked());
    const bool every = m_autoScroll[1]->isChecked();
    m_scrollSeconds->setEnabled(every);
    m_seconds->setEnabled(every);
}

void SettingsDialog::leaveNumberBox(QLineEdit* box) {
    box->setText(QString::number(atLeastOne(box->text())));
}

ProgramSettings SettingsDialog::settingsFromFields() const {
    ProgramSettings settings = m_ui.app.programConfig;
    settings.language = static_cast<std::int16_t>(std::max(0, m_language->currentIndex()));
    settings.counterModel = static_cast<CounterModel>(std::max(0, m_model->currentIndex()));
    settings.colours.assign(5, 0);
    for (std::size_t i = 0; i < 5; ++i) {
        settings.colours[i] = static_cast<std::int16_t>(std::max(0, m_colours[i]->currentIndex()));
    }
    settings.lapFractionPolicy =
        m_lapFraction[2]->isChecked()
            ? static_cast<std::int16_t>(atLeastOne(m_lapFractionPass->text()))
        : m_lapFraction[1]->isChecked() ? std::int16_t{-1}
                                        : std::int16_t{0};
    settings.autoScroll = m_autoScroll[1]->isChecked()
                              ? static_cast<std::int16_t>(atLeastOne(m_scrollSeconds->text()))
                              : std::int16_t{0};
    settings.version = m_version;
    return settings;
}

bool SettingsDialog::save() {
    const ProgramSettings settings = settingsFromFields();
    if (auto written = saveProgramSettings(m_ui.app.dataFile(kSettingsFileName), settings);
        !written) {
        m_asker.message(this, message(m_ui, 0, msg::kErrorTitle),
                        problemText(m_ui, written.error(), msg::kCannotWrite));
        return false;
    }
    m_ui.app.programConfig = settings;
    for (const auto& saveSection : m_sectionSavers) {
        if (!saveSection()) {
            return false;
        }
    }
    return true;
}

void SettingsDialog::addSection(QWidget* section, std::function<bool()> save) {
    m_top->insertWidget(m_top->count() - 1, section);
    m_sectionSavers.push_back(std::move(save));
}

void SettingsDialog::reject() {
    // Closing without saving undoes a language chosen in the dialog.
    m_ui.app.programConfig.language = m_languageAtOpening;
    QDialog::reject();
}

void addFileSection(SettingsDialog& dialog, QWidget* section, const QString& title,
                    const QStringList& readProblems, Asker& asker,
                    std::function<std::expected<void, QString>()> save) {
    if (!readProblems.isEmpty()) {
        asker.message(&dialog, title, readProblems.join(QLatin1Char('\n')));
    }
    dialog.addSection(section, [save = std::move(save), title, &asker, &dialog] {
        if (auto saved = save(); !saved) {
            asker.message(&dialog, title, saved.error());
            return false;
        }
        return true;
    });
}

} // namespace cronovolta
