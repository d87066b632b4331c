#include "Avvio.h"

#include "StringTable.h"

#include <QApplication>
#include <QMainWindow>
#include <QTimer>

QString GetResourceText(std::int32_t id, const QVariantList &values)
{
    QString text = LoadResourceString(id);
    int k = 1;
    for (const QVariant &v : values) {
        text.replace(QLatin1Char('|') + QString::number(k), v.toString());
        ++k;
    }
    return text;
}

int Main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(LoadResourceString(301));
    window.show();
    QTimer::singleShot(1000, &window, &QWidget::close);
    return app.exec();
}
