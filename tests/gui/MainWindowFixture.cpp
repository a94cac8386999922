#include "MainWindowFixture.h"

#include "shell/OutlineModel.h"
#include "shell/gui/SumOfTimesLabel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace {

QString withoutMnemonic(QString text)
{
    return text.remove(u'&');
}

// Watches for modal message boxes while `action` runs: each one is described in `seen` (the
// first) and handed to `answer`, which answers it and says whether that closed it. A box left
// open is dismissed.
ModalSeen watchMessageBoxes(const std::function<void()> &action, const std::function<bool(QMessageBox &)> &answer)
{
    ModalSeen seen;
    QMessageBox *handled = nullptr;
    // The action blocks in the box's own event loop; a timer in that loop finds and answers it.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box == handled || !box->isVisible())
            return;
        handled = box;
        if (++seen.count == 1) {
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.informativeText = box->informativeText();
            for (QAbstractButton *button : box->buttons())
                seen.buttons.append(withoutMnemonic(button->text()));
            if (box->defaultButton())
                seen.defaultButton = withoutMnemonic(box->defaultButton()->text());
            seen.windowModal = box->windowModality() == Qt::WindowModal && box->parentWidget() != nullptr;
        }
        const bool answered = answer(*box);
        if (seen.count == 1)
            seen.answered = answered;
        if (!answered)
            box->done(QDialog::Rejected);
    });
    poll.start();
    action();
    poll.stop();
    return seen;
}

} // namespace

ModalSeen runAnsweringMessageBox(const std::function<void()> &action, const QString &answer)
{
    return watchMessageBoxes(action, [&answer](QMessageBox &box) {
        for (QAbstractButton *button : box.buttons()) {
            if (!answer.isEmpty() && withoutMnemonic(button->text()) == answer) {
                QTest::mouseClick(button, Qt::LeftButton);
                return !box.isVisible();
            }
        }
        return false;
    });
}

ModalSeen runAnsweringMessageBoxWithReturn(const std::function<void()> &action)
{
    return watchMessageBoxes(action, [](QMessageBox &box) {
        QTest::keyClick(&box, Qt::Key_Return);
        return !box.isVisible();
    });
}

MainWindowFixture::~MainWindowFixture()
{
    // The window and the controller go before the dialog they may ask through.
    window.reset();
    controller.reset();
}

MainWindow &MainWindowFixture::openWindow(Questions questions)
{
    if (questions == Questions::Scripted) {
        createController();
    } else {
        messageBoxes = std::make_unique<QtQuestionDialog>();
        settings->load();
        controller = std::make_unique<KestrumController>(
            ControllerPorts{scheduler, desktop, desktop, desktop, *settings, *messageBoxes});
    }
    window = std::make_unique<MainWindow>(*controller);
    if (messageBoxes)
        messageBoxes->setParent(window.get());
    controller->finishLaunching();
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->outline()->expandAll();
    return *window;
}

::testing::AssertionResult MainWindowFixture::showsAllOf(const QLabel &label, const QWidget &area)
{
    const QRect where(label.mapTo(&area, QPoint(0, 0)), label.size());
    if (!label.isVisible())
        return ::testing::AssertionFailure() << "hidden: " << label.text().toStdString();
    if (!area.rect().contains(where))
        return ::testing::AssertionFailure() << "the label, " << where.width() << "x" << where.height() << " at " << where.x() << ","
                                             << where.y() << ", reaches outside " << area.width() << "x" << area.height();
    // The text wraps within the label's width; its lines need this height.
    const int needed = label.heightForWidth(label.width());
    if (needed > label.height())
        return ::testing::AssertionFailure() << "the text needs " << needed << " pixels, the label has " << label.height();
    const int widest = label.fontMetrics().horizontalAdvance(label.text());
    if (!label.wordWrap() && widest > label.contentsRect().width())
        return ::testing::AssertionFailure() << "one line of " << widest << " pixels in " << label.contentsRect().width();
    return ::testing::AssertionSuccess();
}

void MainWindowFixture::resizeWindow(QSize size)
{
    window->resize(size);
    // Nested layouts answer one request at a time.
    for (int pass = 0; pass < 3; ++pass)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::processEvents();
}

QStringList MainWindowFixture::shownRows() const
{
    QStringList rows;
    const QAbstractItemModel *model = window->outline()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex app = model->index(row, OutlineModel::NameColumn);
        rows.append(app.data().toString());
        if (!window->outline()->isExpanded(app))
            continue;
        for (int child = 0; child < model->rowCount(app); ++child)
            rows.append(QStringLiteral("  ") + model->index(child, OutlineModel::NameColumn, app).data().toString());
    }
    return rows;
}

QStringList MainWindowFixture::shownApplications() const
{
    QStringList names;
    const QAbstractItemModel *model = window->outline()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names.append(model->index(row, OutlineModel::NameColumn).data().toString());
    return names;
}

QModelIndex MainWindowFixture::rowOf(const QString &application, const QString &windowName) const
{
    const QAbstractItemModel *model = window->outline()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex app = model->index(row, OutlineModel::NameColumn);
        if (app.data().toString() != application)
            continue;
        if (windowName.isEmpty())
            return app;
        for (int child = 0; child < model->rowCount(app); ++child) {
            const QModelIndex window = model->index(child, OutlineModel::NameColumn, app);
            if (window.data().toString() == windowName)
                return window;
        }
    }
    return {};
}

void MainWindowFixture::clickRow(const QModelIndex &row, Qt::KeyboardModifiers modifiers)
{
    ASSERT_TRUE(row.isValid());
    QTreeView *outline = window->outline();
    outline->scrollTo(row);
    const QRect rect = outline->visualRect(row);
    ASSERT_FALSE(rect.isEmpty()) << "row " << row.data().toString().toStdString() << " is not shown";
    // A pause between clicks, so that two clicks never make a double click.
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, modifiers, rect.center(), QApplication::doubleClickInterval() + 50);
}

QString MainWindowFixture::totalText() const
{
    return window->totalLabel()->text();
}

void MainWindowFixture::pressCountingButton()
{
    QTest::mouseClick(window->countingButton(), Qt::LeftButton);
}
