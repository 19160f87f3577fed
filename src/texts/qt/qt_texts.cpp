#include "texts/qt/qt_texts.h"

#include "texts/language_tables.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QLibraryInfo>
#include <QPointer>
#include <QPushButton>
#include <QTranslator>

#include <utility>

namespace cronovolta {
namespace {

// Qt's English captions of the buttons the program uses, as Qt writes them untranslated.
constexpr std::pair<QDialogButtonBox::StandardButton, DialogButton> kButtons[] = {
    {QDialogButtonBox::Ok, DialogButton::Ok},
    {QDialogButtonBox::Cancel, DialogButton::Cancel},
    {QDialogButtonBox::Yes, DialogButton::Yes},
    {QDialogButtonBox::No, DialogButton::No},
    {QDialogButtonBox::Retry, DialogButton::Retry},
    {QDialogButtonBox::Close, DialogButton::Close},
    {QDialogButtonBox::Save, DialogButton::Save},
    {QDialogButtonBox::Open, DialogButton::Open},
};

QString englishCaption(QDialogButtonBox::StandardButton button) {
    switch (button) {
    case QDialogButtonBox::Ok:
        return QStringLiteral("OK");
    case QDialogButtonBox::Cancel:
        return QStringLiteral("Cancel");
    case QDialogButtonBox::Yes:
        return QStringLiteral("&Yes");
    case QDialogButtonBox::No:
        return QStringLiteral("&No");
    case QDialogButtonBox::Retry:
        return QStringLiteral("Retry");
    case QDialogButtonBox::Close:
        return QStringLiteral("Close");
    case QDialogButtonBox::Save:
        return QStringLiteral("Save");
    case QDialogButtonBox::Open:
        return QStringLiteral("Open");
    default:
        return {};
    }
}

// Owned by the application object, so it lives exactly as long as the Qt texts it serves.
class QtTexts : public QObject {
public:
    explicit QtTexts(QCoreApplication* app) : QObject(app) {
        setObjectName(QStringLiteral("cronovolta-qt-texts"));
        app->installEventFilter(this);
    }

    void use(int language, const QString& folder) {
        const QString dir =
            folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
        if (language == m_language && dir == m_folder) {
            return;
        }
        m_language = language;
        m_folder = dir;
        if (m_translator != nullptr) {
            QCoreApplication::removeTranslator(m_translator);
            delete m_translator;
        }
        m_translator = new QTranslator(this);
        const QString name = language == kLanguageCastilian ? QStringLiteral("qtbase_es")
                                                            : QStringLiteral("qtbase_ca");
        m_loaded = (language == kLanguageCatalan || language == kLanguageCastilian) &&
                   m_translator->load(name, dir);
        if (m_loaded) {
            QCoreApplication::installTranslator(m_translator);
        }
    }

    bool loaded() const { return m_loaded; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QDialogButtonBox*>(watched)) {
                fillEnglishButtons(*box);
            }
        }
        return false;
    }

private:
    void fillEnglishButtons(QDialogButtonBox& box) const {
        if (m_language != kLanguageCatalan && m_language != kLanguageCastilian) {
            return;
        }
        for (const auto& [standard, ours] : kButtons) {
            QAbstractButton* button = box.button(standard);
            if (button != nullptr && button->text() == englishCaption(standard)) {
                button->setText(QString::fromUtf8(dialogButtonText(ours, m_language)));
            }
        }
    }

    QPointer<QTranslator> m_translator;
    int m_language = -1;
    QString m_folder;
    bool m_loaded = false;
};

QtTexts* qtTexts() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        return nullptr;
    }
    auto* texts =
        app->findChild<QtTexts*>(QStringLiteral("cronovolta-qt-texts"), Qt::FindDirectChildrenOnly);
    return texts != nullptr ? texts : new QtTexts(app);
}

} // namespace

void followLanguage(int language, const QString& folder) {
    if (QtTexts* texts = qtTexts()) {
        texts->use(language, folder);
    }
}

bool qtTranslationLoaded() {
    QtTexts* texts = qtTexts();
    return texts != nullptr && texts->loaded();
}

} // namespace cronovolta
