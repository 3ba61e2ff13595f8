// Arbitrary bytes as the program's settings file: a window restores its
// placement, a stored text, a stored list and a stored value from it, and
// saves again. Neither may crash; the window must come back on the screen,
// the list and texts within their caps, and the save must not fail over
// whatever the file held.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "files/SettingsStore.h"
#include "widgets/WindowStateStore.h"

namespace {

struct Window {
    Window()
    {
        operators = new QComboBox(&widget);
        operators->setObjectName("ComboBox1");
        port = new QComboBox(&widget);
        port->setObjectName("cboxCOM");
        port->setEditable(true);
        storage = new WindowStateStore(&widget, settings);
        storage->setIniSection("TFSendSMS");
        storage->setStoredProps({"ComboBox1.Items", "cboxCOM.Text"});
        value = &storage->storedValues().add("TextField");
        value->scrambleKey = "Nmt650ab";
        storage->setErrorHandler([this](const QString& message) {
            if (message.startsWith("Unable to write"))
                writeError = message;
        });
    }
    // Each input starts from the same window.
    void Reset()
    {
        widget.setWindowState(Qt::WindowNoState);
        widget.setGeometry(100, 100, 300, 200);
        operators->clear();
        port->setEditText("Com1");
        value->value.clear();
        writeError.clear();
    }

    // Each input names its own file here.
    SettingsStore settings = SettingsStore::inFile(QString());
    QWidget widget;
    QComboBox* operators;
    QComboBox* port;
    WindowStateStore* storage;
    StoredValue* value;
    QString writeError;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "fuzz_settings";
        static char* argv[] = {name, nullptr};
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        return new QApplication(argc, argv);
    }();
    (void)app;
    static QTemporaryDir dir;
    static Window w;
    static int run = 0;
    // A new name for every input: QSettings keeps what it parsed by file name.
    const QString path = dir.filePath(QString("settings%1.ini").arg(run++));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    w.settings = SettingsStore::inFile(path);
    w.Reset();

    w.widget.show();
    if (w.widget.windowState() == Qt::WindowNoState
        && !w.widget.screen()->availableGeometry().contains(w.widget.frameGeometry()))
        std::abort();
    if (w.operators->count() > 1000 || w.port->currentText().size() > 4096 || w.value->value.size() > 4096)
        std::abort();
    for (int i = 0; i < w.operators->count(); ++i) {
        if (w.operators->itemText(i).size() > 4096)
            std::abort();
    }
    w.widget.close();
    QFile::remove(path);
    if (!w.writeError.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(w.writeError));
        std::abort();
    }
    return 0;
}
