// Kestrum in the user's language: ctest starts these tests with LANGUAGE=de (see CMakeLists.txt),
// and every window then reads in German, down to Qt's own buttons, with German number formats.
// Any text still in English that has a German translation was built before the translator was
// installed, or never went through tr().

#include "MainWindowFixture.h"
#include "categories/CategorySet.h"
#include "shell/gui/AwayQuestionWindow.h"
#include "shell/gui/CategoriesWindow.h"
#include "shell/gui/HistoryWindow.h"
#include "shell/gui/PrefWindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QXmlStreamReader>

namespace {

// The English texts that the language's catalogue translates into something else.
QSet<QString> translatedSources(const QString &language)
{
    QFile file(QStringLiteral(KESTRUM_SOURCE_DIR "/translations/kestrum_%1.ts").arg(language));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    QSet<QString> sources;
    QXmlStreamReader xml(&file);
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"source") {
            source = xml.readElementText();
        } else if (xml.name() == u"translation") {
            const QString translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (!translation.isEmpty() && translation != source)
                sources.insert(source);
        }
    }
    return sources;
}

// Every text `window` shows or gives a screen reader.
QStringList textsOf(QWidget &window)
{
    QStringList texts{window.windowTitle()};
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        texts << widget->toolTip() << widget->accessibleName() << widget->accessibleDescription();
        if (auto *label = qobject_cast<QLabel *>(widget))
            texts << label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts << button->text();
        else if (auto *group = qobject_cast<QGroupBox *>(widget))
            texts << group->title();
        else if (auto *edit = qobject_cast<QLineEdit *>(widget))
            texts << edit->placeholderText();
        else if (auto *tabs = qobject_cast<QTabWidget *>(widget))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        else if (auto *choice = qobject_cast<QComboBox *>(widget))
            for (int i = 0; i < choice->count(); ++i)
                texts << choice->itemText(i);
        for (QAction *action : widget->actions())
            texts << action->text() << action->toolTip();
    }
    texts.removeAll(QString());
    return texts;
}

} // namespace

class TranslatedWindowTest : public MainWindowFixture
{
};

TEST_F(TranslatedWindowTest, EveryWindowReadsInGermanWhenLanguageIsGerman)
{
    ASSERT_EQ(qEnvironmentVariable("LANGUAGE"), QStringLiteral("de"));
    const QSet<QString> english = translatedSources(QStringLiteral("de"));
    ASSERT_GT(english.size(), 300);

    openWindow();
    QStringList menus;
    for (QAction *menu : window->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("&Datei"), QStringLiteral("&Bearbeiten"), QStringLiteral("&Ansicht"), QStringLiteral("&Zählung")}));

    window->showPreferences();
    HistoryWindow &history = window->historyWindow();
    history.show();
    CategoriesWindow &categories = window->categoriesWindow();
    categories.show();
    AwayQuestionWindow &away = window->awayQuestion();
    away.show();
    // The categories are the user's own names (a first start's are English, and stay so in the
    // shared folder and the reports), shown as they are.
    QSet<QString> categoryNames;
    for (const Category &category : CategorySet::defaults().categories)
        for (const QString &name : category.path)
            categoryNames.insert(name);
    for (QWidget *shown : std::initializer_list<QWidget *>{window.get(), &window->prefWindow(), &history, &categories, &away}) {
        QStringList left;
        for (const QString &text : textsOf(*shown))
            if (english.contains(text) && !categoryNames.contains(text))
                left << text;
        EXPECT_EQ(left, QStringList()) << "still English in " << shown->metaObject()->className();
    }
    EXPECT_EQ(window->prefWindow().windowTitle(), QStringLiteral("Kestrum-Einstellungen"));

    // Qt's own buttons, and the locale's numbers.
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(QLocale().toString(1234.5, 'f', 1), QStringLiteral("1.234,5"));
}
