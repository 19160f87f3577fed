#include "support/qt/qt_test_support.h"

#include <QDialog>
#include <QTest>
#include <QTimer>

using namespace cronovolta;

// A dialog that a test expected but that never opened must not be answered in a later test.
class WhenModalTest : public QObject {
    Q_OBJECT

private slots:
    void aDialogThatNeverOpensIsNotWaitedForever() {
        test::whenModal([this](QDialog* dialog) {
            ++m_staleAnswers;
            dialog->reject();
        });
        QTest::qWait(30);
    }

    void aLaterTestsDialogIsLeftToItsOwnTest() {
        QDialog dialog;
        QTimer::singleShot(300, &dialog, &QDialog::accept);
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(m_staleAnswers, 0);
        QTRY_VERIFY(qApp->findChildren<QTimer*>(Qt::FindDirectChildrenOnly).isEmpty());
    }

private:
    int m_staleAnswers = 0;
};

QTEST_MAIN(WhenModalTest)
#include "when_modal_test.moc"
