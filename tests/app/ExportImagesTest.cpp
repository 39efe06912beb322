// The spreadsheet and the pictures a window writes.
#include "app/gui/ChartImage.h"
#include "app/gui/TextAsPaths.h"
#include "tests/app/WindowFixtures.h"
#include "tests/app/WorkbookXml.h"

#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QSvgGenerator>
#include <QListWidget>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <set>
#include <string>

using namespace brennic;

namespace {

std::string Unzip(const QString& file, const char* member)
{
    return test::Unzip(file.toStdString(), member);
}

using test::Cell;

}  // namespace

TEST(WindowExports, WorkbookHoldsTheResultsAsNumbers)
{
    QTemporaryDir dir;
    Window f;
    TFrmBrennic& w = f.w;
    w.edtTimeInterval->setText("30");
    RunAndWait(w);
    w.btnKeepRun->click();
    w.edtFrontFanFlow->setText("25");
    RunAndWait(w);
    const QString path = dir.filePath(QStringLiteral("night.xlsx"));
    w.ExportWorkbook(path);
    const std::string book = Unzip(path, "xl/workbook.xml");
    for (const char* sheet : {"Results", "Inputs", "Readiness"})
        EXPECT_NE(book.find(std::string("<sheet name=\"") + sheet + "\""), std::string::npos) << sheet;
    const std::string results = Unzip(path, "xl/worksheets/sheet1.xml");
    // Row 62 is the report at 600 s: the CSV's values, as numbers.
    const std::u16string row = w.ResultLines->Get(61);
    double t, air, surface, back, core;
    ASSERT_EQ(std::sscanf(std::string(row.begin(), row.end()).c_str(), "%lf,%lf,%lf,%lf,%lf", &t, &air, &surface, &back,
                          &core),
              5);
    EXPECT_EQ(Cell(results, "A62"), 600);
    EXPECT_EQ(Cell(results, "B62"), 10);
    EXPECT_NEAR(Cell(results, "D62"), surface, 1e-12);
    EXPECT_NEAR(Cell(results, "F62"), core, 1e-12);
    EXPECT_NE(results.find("<dimension ref=\"A1:F182\"/>"), std::string::npos);
    EXPECT_FALSE(Unzip(path, "xl/charts/chart1.xml").empty());
    const std::string inputs = Unzip(path, "xl/worksheets/sheet2.xml");
    EXPECT_EQ(Cell(inputs, "B9"), 25);     // front film coefficient
    EXPECT_EQ(Cell(inputs, "B14"), 1.13);  // Pyrex's conductivity
    // Rows are written one after the other (constant memory): texts stand
    // in their cells.
    EXPECT_NE(Unzip(path, "xl/worksheets/sheet3.xml").find("Kept run, surface: front film 10"), std::string::npos);
    EXPECT_NE(inputs.find("Brennic 0.1.0"), std::string::npos);
    // The answer as the window gives it, and the seeing's ready times.
    EXPECT_NE(book.find("<sheet name=\"Answer\""), std::string::npos);
    const std::string answer = Unzip(path, "xl/worksheets/sheet4.xml");
    EXPECT_NE(answer.find(w.TabSheet3->Headline->text().toStdString()), std::string::npos) << answer;
    if (const auto seeing = w.Record.Readiness.SeeingReadyFrom(0))
        EXPECT_NEAR(Cell(answer, "B3"), *seeing / 60, 1e-9);
    else
        EXPECT_NE(answer.find("not reached"), std::string::npos);
    // The CSV stays the current run's table.
    EXPECT_EQ(w.ResultLines->Count(), 182);
}

TEST(WindowExports, PicturesAreImagesOfTheRightSize)
{
    QTemporaryDir dir;
    Window f;
    TFrmBrennic& w = f.w;
    w.edtThickness->setText("25");
    w.edtTimeInterval->setText("30");
    RunAndWait(w);
    EXPECT_EQ(w.PictureSubtitle(), "Brennic \u2014 thickness 25, duration 30");
    struct Case {
        int page;
        const char* name;
        QSize size;
    };
    const Case cases[] = {{EvolutionPage, "evolution.png", QSize(1200, 700)},
                          {ProfilePage, "profile.png", QSize()},
                          {EvolutionPage, "evolution.svg", QSize(900, 500)}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        w.SaveChartImage(c.page, path, c.size);
        const QSize expected = c.size.isValid() ? c.size : QSize(w.Chart4->width(), w.Chart4->height() + 22);
        if (path.endsWith(".svg")) {
            QSvgRenderer svg(path);
            ASSERT_TRUE(svg.isValid()) << c.name;
            EXPECT_EQ(svg.viewBox().size(), expected) << c.name;
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            EXPECT_TRUE(file.readAll().contains("thickness 25")) << c.name;
        } else {
            const QImage image(path);
            ASSERT_FALSE(image.isNull()) << c.name;
            EXPECT_EQ(image.size(), expected) << c.name;
            // Not a blank page: the curves and the strip bring colour.
            int coloured = 0;
            for (int y = 0; y < image.height(); y += 2)
                for (int x = 0; x < image.width(); x += 2) {
                    const QColor p = image.pixelColor(x, y);
                    coloured += std::abs(p.red() - p.green()) > 60 || std::abs(p.blue() - p.green()) > 60;
                }
            EXPECT_GT(coloured, 200) << c.name;
        }
    }
    EXPECT_THROW(w.SaveChartImage(EvolutionPage, dir.filePath("chart.bmp")), EBrennicError);

    // The picture holds results, not the interface: where the runs list and
    // its button are on screen, the picture is plain background; on screen
    // they are shown again.
    w.PageControl1->setCurrentIndex(EvolutionPage);
    QCoreApplication::processEvents();
    const QImage picture = ChartPicture(w.TabSheet3, QString(), QSize());
    const int band = picture.height() - w.TabSheet3->height();
    for (QWidget* control : {static_cast<QWidget*>(w.TabSheet3->Runs), static_cast<QWidget*>(w.TabSheet3->RemoveRun)}) {
        ASSERT_TRUE(control->isVisible());
        const QRect r(control->mapTo(w.TabSheet3, QPoint(0, 0)), control->size());
        std::set<QRgb> colours;
        for (int y = r.top() + 2; y < r.bottom() - 2; ++y)
            for (int x = r.left() + 2; x < r.right() - 2; ++x) colours.insert(picture.pixel(x, y + band));
        EXPECT_EQ(colours.size(), 1u) << control->objectName().toStdString();
        EXPECT_TRUE(control->isVisible()) << control->objectName().toStdString();
    }
}

TEST(WindowExports, SvgKeepsTheMarkersAndTheWholeHeader)
{
    QTemporaryDir dir;
    Window f;
    TFrmBrennic& w = f.w;
    w.edtTimeInterval->setText("180");
    RunAndWait(w);
    ASSERT_TRUE(w.TabSheet3->MarkerMinutes()[0].has_value());
    const QString path = dir.filePath("evolution.svg");
    w.SaveChartImage(EvolutionPage, path, QSize(900, 500));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(file.readAll());
    // No coordinate far outside the picture (a marker line from -1e6 to 1e6
    // once came out as a path from +2e7 to -2e7 that viewers drop).
    const QRegularExpression huge(QStringLiteral("(?<![\\d.])\\d{6,}"));  // an integer part of six digits or more
    for (const QString& d : svg.split(QStringLiteral(" d=\""), Qt::SkipEmptyParts).mid(1))
        EXPECT_FALSE(huge.match(d.left(d.indexOf('"'))).hasMatch()) << d.left(200).toStdString();
    // The whole subtitle, however long, wrapped rather than cut.
    EXPECT_TRUE(svg.contains("duration 180")) << w.PictureSubtitle().toStdString();
    // Text as outlines, so that any renderer draws what the PNG shows: the
    // drawing, rendered, is the picture within a small share of its pixels
    // (antialiased edges).
    EXPECT_FALSE(svg.contains("<text")) << "text that a renderer lays out with its own fonts";
    QSvgRenderer renderer(path);
    QImage drawn(900, 500, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    renderer.render(&painter);
    painter.end();
    const QImage picture = ChartPicture(w.TabSheet3, w.PictureSubtitle(), QSize(900, 500)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), drawn.size());
    long apart = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const QColor a = drawn.pixelColor(x, y), b = picture.pixelColor(x, y);
            apart += std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) > 96;
        }
    EXPECT_LT(double(apart) / (900.0 * 500.0), 0.03) << apart << " pixels differ";
}

TEST(WindowExports, SvgTextStopsAtItsWidgetsEdge)
{
    // A narrow label with a line too long for it (a file's path in the
    // readout), drawn as the pictures are: through the outlines into SVG.
    QWidget page;
    page.setAttribute(Qt::WA_DontShowOnScreen);
    page.resize(300, 40);
    auto* label = new QLabel(QStringLiteral("/tmp/observing/2026-12-08/forecast-for-the-night.csv"), &page);
    label->setGeometry(0, 0, 100, 40);
    page.setStyleSheet(QStringLiteral("background: white; color: black"));
    page.show();
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(page.size());
    svg.setViewBox(QRect(QPoint(), page.size()));
    {
        TTextAsPaths outlines(&svg);
        page.render(&outlines);
    }
    QSvgRenderer renderer(buffer.data());
    ASSERT_TRUE(renderer.isValid());
    QImage drawn(page.size(), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    renderer.render(&painter);
    painter.end();
    int inside = 0, beyond = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (qGray(drawn.pixel(x, y)) < 128)
                ++(x < 100 ? inside : beyond);
    EXPECT_GT(inside, 50) << "the label's text is not drawn";
    EXPECT_EQ(beyond, 0) << "text drawn past the label's edge";
}
