#include <QApplication>
#include <QTest>

#include <string>
#include <vector>

#include "common/machine/environment.h"
#include "support/tempprefix.h"
#include "ui/skinengine.h"

using namespace tw;

namespace {

const std::string SkinFolder = "C:\\Program Files\\Tidewick\\Skins";

QStringList toList(const std::vector<std::string>& names)
{
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromStdString(name);
    return list;
}

} // namespace

class SkinEngineTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { qApp->setStyleSheet({}); }

    void withoutASkinFolderTheBuiltInSkinsAreListed()
    {
        test::TempPrefix prefix;
        SkinEngine engine(prefix.env().fileSystem());
        QCOMPARE(engine.activeSkinName(), std::string("Neutral"));
        QCOMPARE(toList(engine.skinNames()), (QStringList{"Harbour", "Neutral"}));
        engine.setSkinFolder(SkinFolder);
        QCOMPARE(engine.skinFolder(), SkinFolder);
        QCOMPARE(toList(engine.skinNames()), (QStringList{"Harbour", "Neutral"}));
    }

    void skinFilesOfTheFolderAreListedSortedWithTheBuiltInOnes()
    {
        test::TempPrefix prefix;
        prefix.writeFile(SkinFolder + "\\Ocean.qss", "QWidget { color: navy; }");
        prefix.writeFile(SkinFolder + "\\aqua.qss", "QWidget { color: teal; }");
        // Named like a built-in skin: listed once.
        prefix.writeFile(SkinFolder + "\\neutral.qss", "QWidget { color: red; }");
        // Not skins: another extension, a longer one, a bare extension and a folder.
        prefix.writeFile(SkinFolder + "\\readme.txt", "");
        prefix.writeFile(SkinFolder + "\\old.qssx", "");
        prefix.writeFile(SkinFolder + "\\.qss", "");
        prefix.makeFolder(SkinFolder + "\\folder.qss");
        SkinEngine engine(prefix.env().fileSystem());
        engine.setSkinFolder(SkinFolder);
        QCOMPARE(toList(engine.skinNames()), (QStringList{"aqua", "Harbour", "Neutral", "Ocean"}));
        // A trailing backslash names the same folder.
        engine.setSkinFolder(SkinFolder + "\\");
        QCOMPARE(toList(engine.skinNames()), (QStringList{"aqua", "Harbour", "Neutral", "Ocean"}));
    }

    void applyingASkinRestylesTheApplication_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("active");
        QTest::addColumn<QString>("styleSheet");  // "*" for any non-empty text
        QTest::newRow("a skin file") << "Ocean" << "Ocean" << "QWidget { color: navy; }\n";
        QTest::newRow("a skin file in other letter case") << "OCEAN" << "Ocean" << "QWidget { color: navy; }\n";
        QTest::newRow("built-in Harbour") << "harbour" << "Harbour" << "*";
        QTest::newRow("built-in Neutral, not the file of its name") << "Neutral" << "Neutral" << "";
    }
    void applyingASkinRestylesTheApplication()
    {
        QFETCH(QString, name);
        QFETCH(QString, active);
        QFETCH(QString, styleSheet);
        test::TempPrefix prefix;
        prefix.writeFile(SkinFolder + "\\Ocean.qss", "QWidget { color: navy; }\r\n");
        prefix.writeFile(SkinFolder + "\\Neutral.qss", "QWidget { color: red; }\r\n");
        SkinEngine engine(prefix.env().fileSystem());
        engine.setSkinFolder(SkinFolder);
        qApp->setStyleSheet("QWidget { color: green; }");
        QVERIFY(engine.applySkin(name.toStdString()));
        QCOMPARE(QString::fromStdString(engine.activeSkinName()), active);
        if (styleSheet == "*")
            QVERIFY(!qApp->styleSheet().isEmpty());
        else
            QCOMPARE(qApp->styleSheet(), styleSheet);
    }

    void anUnknownOrUnreadableSkinLeavesTheLookAsItWas_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("first start's skin") << "opus.asz";
        QTest::newRow("empty name") << "";
        QTest::newRow("a file that is too large") << "Huge";
        QTest::newRow("a folder named like a skin") << "folder";
    }
    void anUnknownOrUnreadableSkinLeavesTheLookAsItWas()
    {
        QFETCH(QString, name);
        test::TempPrefix prefix;
        prefix.writeFile(SkinFolder + "\\Ocean.qss", "QWidget { color: navy; }");
        prefix.writeFile(SkinFolder + "\\Huge.qss", std::string(1024 * 1024 + 1, ' '));
        prefix.makeFolder(SkinFolder + "\\folder.qss");
        SkinEngine engine(prefix.env().fileSystem());
        engine.setSkinFolder(SkinFolder);
        QVERIFY(engine.applySkin("Ocean"));
        const QString before = qApp->styleSheet();
        QVERIFY(!engine.applySkin(name.toStdString()));
        QCOMPARE(engine.activeSkinName(), std::string("Ocean"));
        QCOMPARE(qApp->styleSheet(), before);
    }
};

QTEST_MAIN(SkinEngineTest)
#include "skinengine_test.moc"
