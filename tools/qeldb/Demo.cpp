#include "Demo.h"

#include "QelDb.h"

#include "db/DbError.h"
#include "db/sqlite/SqliteEngine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <utility>

namespace qeldb {

namespace {

QByteArray line(const QString& text)
{
    return text.toUtf8() + '\n';
}

} // namespace

// ---- site helpers ---------------------------------------------------------

namespace site {

QString absoluteFolder(const QString& folder)
{
    return QDir::cleanPath(QDir(folder.isEmpty() ? QStringLiteral(".") : folder).absolutePath());
}

QStringList embeddedParams(const QString& folder, const QString& database)
{
    return {QStringLiteral("DATABASE NAME=") + database, QStringLiteral("SERVER NAME=sqlite:") + folder};
}

std::unique_ptr<db::Engine> openDatabase(const QString& folder, const QString& database)
{
    return db::openEngine(embeddedParams(folder, database));
}

QString builtInScript(const QString& name)
{
    QFile f(QStringLiteral(":/sql/") + name);
    if (!f.open(QIODevice::ReadOnly))
        throw db::DbError(QStringLiteral("%1 is not built into this qel-db").arg(name));
    return decodeScript(f.readAll());
}

void runBuiltInScript(db::Engine& engine, const QString& name)
{
    const db::ParamValues none;
    for (const Batch& batch : splitBatches(builtInScript(name))) {
        try {
            engine.execute(batch.sql, none);
        } catch (const db::DbError& e) {
            throw db::DbError(QStringLiteral("sql/%1:%2: %3").arg(name).arg(batch.line).arg(e.message()));
        }
    }
}

void installMenuAndUsers(db::Engine& config, const QList<int>& salesIds)
{
    // Guarded, so that a second company on the same site keeps the users
    // and rights the first one set up (and any an administrator changed).
    // softwareconfig always holds exactly one row: the FROM of the constant
    // rights list below.
    db::ParamValues p;
    for (int i = 0; i < 4; ++i)
        p.set(QStringLiteral("Sales%1").arg(i), i < salesIds.size() && salesIds[i] > 0 ? QVariant(salesIds[i]) : QVariant());
    config.execute(QStringLiteral(R"(
If Not Exists (Select Id From Menu Where Id = 12)
  Insert Into Menu (Id, Description, Command) Values (12, N'โปรแกรมสอบถามราคาทางโทรศัพท์', 'PRICEINQUIRY.EXE')
If Not Exists (Select Id From Menu Where Id = 13)
  Insert Into Menu (Id, Description, Command) Values (13, N'โปรแกรมขายหน้าร้าน', 'POS.EXE')
If Not Exists (Select Id From username Where Code = 'ADMIN')
  Insert Into username (Code, FullName, LanguageNo, SalesId, EditSalePrice, Approve_Quo, Approve_SO, Approve_IV,
    Approve_PO, Approved_PORQ, ApproveTranWH, ApproveTranBranch, ApproveWorkOrder, CanSeeCost, CanSeeSalePrice,
    CanModifyCusSale, Approve_PreIs, ApproveCustomerDropUse, ApproveCustomerDropCredit, CanModifyCredit,
    CanSetProductBlock, CanSetProductMinus, CanSaleCreditOnReturnCheque)
  Values ('ADMIN', N'สมชาย ใจดี (ผู้ดูแลระบบ)', 1, :Sales0, 'Y', 'Y', 'Y', 'Y', 'Y', 'Y', 'Y', 'Y', 'Y', 'Y', 'Y',
    'Y', 'Y', 'Y', 'Y', 'Y', 'Y', 'Y', 'Y')
If Not Exists (Select Id From username Where Code = 'CLERK')
  Insert Into username (Code, FullName, LanguageNo, SalesId, CanSeeCost, CanSeeSalePrice)
  Values ('CLERK', 'Nok Saengdao (telesales)', 2, :Sales1, 'N', 'N')
If Not Exists (Select Id From username Where Code = 'GUEST')
  Insert Into username (Code, FullName, LanguageNo, SalesId, CanSeeCost, CanSeeSalePrice)
  Values ('GUEST', N'ผู้เยี่ยมชม', 1, :Sales2, 'N', 'N')
If Not Exists (Select Id From username Where Code = 'SALES')
  Insert Into username (Code, FullName, LanguageNo, SalesId, EditSalePrice, CanSeeCost, CanSeeSalePrice)
  Values ('SALES', N'อรุณี ศรีสุข', 1, :Sales3, 'N', 'N', 'Y')
Insert Into UserRight (UserName, Menu, Access_R, Add_R, Modify_R, Delete_R)
Select U.Id, R.Menu, R.Access_R, R.Add_R, R.Modify_R, R.Delete_R
From (
  Select 'ADMIN' Code, 12 Menu, 'Y' Access_R, 'Y' Add_R, 'Y' Modify_R, 'Y' Delete_R From softwareconfig
  Union All Select 'ADMIN', 13, 'Y', 'Y', 'Y', 'Y' From softwareconfig
  Union All Select 'CLERK', 12, 'Y', 'Y', 'N', 'N' From softwareconfig
  Union All Select 'GUEST', 12, 'N', 'N', 'N', 'N' From softwareconfig
  Union All Select 'GUEST', 13, 'Y', 'N', 'N', 'N' From softwareconfig
  Union All Select 'SALES', 12, 'Y', 'Y', 'Y', 'N' From softwareconfig
  Union All Select 'SALES', 13, 'Y', 'Y', 'N', 'N' From softwareconfig
) R
Inner Join username U On U.Code = R.Code
Where Not Exists (Select 1 From UserRight X Where X.UserName = U.Id And X.Menu = R.Menu)
Order By U.Id, R.Menu
)"),
                   p);
}

int registerCompany(db::Engine& config, const CompanyRecord& c)
{
    db::ParamValues p;
    p.set(QStringLiteral("Code"), c.code);
    p.set(QStringLiteral("NameThai"), c.nameThai);
    p.set(QStringLiteral("NameEng"), c.nameEng);
    p.set(QStringLiteral("ShortName"), c.shortName);
    for (int i = 0; i < 4; ++i)
        p.set(QStringLiteral("Address%1").arg(i + 1), c.address.value(i));
    p.set(QStringLiteral("Province"), c.province);
    p.set(QStringLiteral("Zip"), c.zip);
    p.set(QStringLiteral("Telephone"), c.telephone);
    p.set(QStringLiteral("TaxNo"), c.taxNo);
    p.set(QStringLiteral("Database"), c.database);
    p.set(QStringLiteral("Description"), c.description);
    p.set(QStringLiteral("PicturePath"), c.picturePath);
    p.set(QStringLiteral("DefaultWh"), c.defaultWarehouse);
    p.set(QStringLiteral("DefaultTax"), c.defaultTax);
    p.set(QStringLiteral("PosWh"), c.posWarehouse);
    p.set(QStringLiteral("PosTaxCode"), c.posTaxCode);
    p.set(QStringLiteral("PosPriceType"), c.posPriceType);
    const db::ResultSet r = config.execute(QStringLiteral(R"(
Insert Into Company (Code, NameThai, NameEng, ShortName, Address1, Address2, Address3, Address4, Province, Zip,
  Telephone, TaxNo, InstallDate, RunYear, TaxBranchHead, TaxBranchCode, TaxBranchName)
Values (:Code, :NameThai, :NameEng, :ShortName, :Address1, :Address2, :Address3, :Address4, :Province, :Zip,
  :Telephone, :TaxNo, GetDate(), Year(GetDate()), 'Y', '00000', N'สำนักงานใหญ่')
Insert Into CompanyConfig (Company, PicturePath, Public_Price_IE, DefaultWh, DefaultTax, POS1_Wh, POS1_TaxCode,
  POS1_Price_IE, POS1_PriceType, POS1_SumDetail, DefaultPosComPort, DefaultPosMenuId)
Select Id, :PicturePath, 'I', :DefaultWh, :DefaultTax, :PosWh, :PosTaxCode, 'I', :PosPriceType, 'N', 'COM1', 13
From Company Where Code = :Code
Insert Into DatabaseList (DatabaseName, Company, Description, YearNo)
Select :Database, Id, :Description, Year(GetDate()) From Company Where Code = :Code
Select Id From Company Where Code = :Code
)"),
                                           p);
    if (r.rows.empty())
        throw db::DbError(QStringLiteral("The company %1 was not registered.").arg(c.code));
    return r.rows.front().value(0).toInt();
}

void writeServerFile(const QString& folder)
{
    QFile f(QDir(folder).filePath(QStringLiteral("Server.Dat")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw db::DbError(QStringLiteral("Cannot write %1: %2").arg(f.fileName(), f.errorString()));
    // CR LF: the file is also read by the suite's Windows programs.
    f.write(QStringLiteral("sqlite:%1\r\n").arg(folder).toUtf8());
}

} // namespace site

// ---- lettering ------------------------------------------------------------
//
// Text on the pictures is drawn as strokes from glyph outlines kept here: the
// tool runs without a GUI application, and Qt's fonts need one.

namespace {

// Capitals, digits and a few signs on a grid 8 wide and 12 high (y down).
// Strokes are separated by blanks; each is a run of points written as two
// characters, x then y, 0-9 and a-c for 10-12.
struct LatinGlyph {
    char ch;
    const char* strokes;
};
constexpr LatinGlyph kLatinGlyphs[] = {
    {'0', "2060828a6c2c0a0220 721a"},
    {'1', "22404c 2c6c"},
    {'2', "02206082840c8c"},
    {'3', "02206082846636 66888a6c2c0a"},
    {'4', "6c600888"},
    {'5', "80000666888a6c0c"},
    {'6', "6020020a2c6c8a886606"},
    {'7', "00803c"},
    {'8', "206082846626040220 26080a2c6c8a8866"},
    {'9', "862604022060828a6c2c"},
    {'A', "0c0440848c 0888"},
    {'B', "006082846606 66888a6c0c00"},
    {'C', "826020020a2c6c8a"},
    {'D', "0060828a6c0c00"},
    {'E', "80000c8c 0666"},
    {'F', "80000c 0666"},
    {'G', "826020020a2c6c8a8646"},
    {'H', "000c 808c 0686"},
    {'I', "2060 404c 2c6c"},
    {'J', "808a6c2c0a"},
    {'K', "000c 8008 268c"},
    {'L', "000c8c"},
    {'M', "0c0046808c"},
    {'N', "0c008c80"},
    {'O', "2060828a6c2c0a0220"},
    {'P', "0c006082846606"},
    {'Q', "2060828a6c2c0a0220 598c"},
    {'R', "0c006082846606 468c"},
    {'S', "82602002042666888a6c2c0a"},
    {'T', "0080 404c"},
    {'U', "000a2c6c8a80"},
    {'V', "004c80"},
    {'W', "002c466c80"},
    {'X', "008c 800c"},
    {'Y', "004680 464c"},
    {'Z', "00800c8c"},
    {'-', "1676"},
    {'.', "4b4c"},
    {'/', "0c80"},
};

int gridValue(char c)
{
    return c >= 'a' ? c - 'a' + 10 : c - '0';
}

const char* latinStrokes(QChar c)
{
    const char wanted = c.toUpper().toLatin1();
    for (const LatinGlyph& g : kLatinGlyphs)
        if (g.ch == wanted)
            return g.strokes;
    return nullptr;
}

// The outline of `text` with its top-left corner at `origin`, capitals
// `height` high. Characters it does not know leave a gap.
QPainterPath latinText(const QString& text, QPointF origin, qreal height)
{
    const qreal s = height / 12.0;
    QPainterPath path;
    qreal x = origin.x();
    for (const QChar c : text) {
        if (const char* strokes = latinStrokes(c)) {
            bool start = true;
            for (const char* p = strokes; *p; ++p) {
                if (*p == ' ') {
                    start = true;
                    continue;
                }
                if (!p[1])
                    break;
                const QPointF pt(x + gridValue(p[0]) * s, origin.y() + gridValue(p[1]) * s);
                ++p;
                if (start)
                    path.moveTo(pt);
                else
                    path.lineTo(pt);
                start = false;
            }
        }
        x += 12 * s;
    }
    return path;
}

qreal latinWidth(const QString& text, qreal height)
{
    // Eight units of glyph and four of spacing per character, no trailing gap.
    return text.isEmpty() ? 0 : (text.size() * 12 - 4) * height / 12.0;
}

// Thai letters for the placeholder's caption, in units where the body of a
// letter runs from y 0 to the base line at y 10; ascenders go above 0 and the
// vowel below the line under 10. Vowel and tone marks sit on the letter
// before them.
QPainterPath thaiText(const QString& text)
{
    QPainterPath p;
    qreal x = 0;
    qreal baseX = 0;
    qreal baseW = 0;
    auto loop = [&p](qreal cx, qreal cy, qreal r) { p.addEllipse(QPointF(cx, cy), r, r); };
    auto base = [&](qreal width, qreal advance) {
        baseX = x;
        baseW = width;
        x += advance;
    };
    for (const QChar ch : text) {
        const qreal o = x;
        switch (ch.unicode()) {
        case 0x0E44:  // sara ai maimalai: a tall stem with a flourish and a foot loop
            p.moveTo(o + 0.2, -4.2);
            p.cubicTo(o + 0.4, -7.4, o + 3.0, -7.8, o + 3.2, -5.2);
            p.lineTo(o + 3.2, 8.9);
            loop(o + 4.3, 8.9, 1.1);
            base(5.4, 6.8);
            break;
        case 0x0E21:  // mo ma
            p.moveTo(o + 0.6, 0);
            p.lineTo(o + 0.6, 8.6);
            loop(o + 1.7, 8.6, 1.1);
            p.moveTo(o + 2.6, 9.4);
            p.lineTo(o + 7.8, 4.4);
            p.moveTo(o + 7.8, 0);
            p.lineTo(o + 7.8, 10);
            base(8.4, 9.8);
            break;
        case 0x0E23:  // ro rua
            p.moveTo(o + 0.2, 1.4);
            p.cubicTo(o + 1.4, -0.4, o + 3.2, 2.2, o + 4.4, 1.0);
            p.quadTo(o + 5.2, 0.2, o + 6.4, 0.2);
            p.moveTo(o + 5.6, 0.7);
            p.lineTo(o + 5.6, 8.4);
            p.quadTo(o + 5.6, 10.0, o + 4.0, 10.0);
            loop(o + 3.0, 8.8, 1.2);
            base(6.4, 7.8);
            break;
        case 0x0E1B:  // po pla: head loop, body and the tall right stem
            loop(o + 1.0, 1.2, 1.0);
            p.moveTo(o, 1.2);
            p.lineTo(o, 10);
            p.lineTo(o + 7.0, 10);
            p.lineTo(o + 7.0, -4.6);
            base(7.0, 8.6);
            break;
        case 0x0E20:  // pho samphao
            loop(o + 1.2, 8.8, 1.1);
            p.moveTo(o + 0.1, 8.8);
            p.lineTo(o + 0.1, 4.4);
            p.cubicTo(o + 0.1, -0.6, o + 7.4, -0.6, o + 7.4, 4.2);
            p.lineTo(o + 7.4, 10);
            p.moveTo(o + 0.1, 5.4);
            p.quadTo(o + 1.4, 3.0, o + 2.6, 4.0);
            base(7.4, 8.8);
            break;
        case 0x0E32:  // sara aa
            p.moveTo(o, 1.6);
            p.cubicTo(o + 1.0, -0.4, o + 5.0, -0.6, o + 5.0, 2.6);
            p.lineTo(o + 5.0, 10);
            base(5.0, 6.4);
            break;
        case 0x0E1E:  // pho phan
            loop(o + 1.0, 1.2, 1.0);
            p.moveTo(o, 1.2);
            p.lineTo(o + 0.4, 10);
            p.lineTo(o + 4.0, 1.0);
            p.lineTo(o + 7.8, 10);
            p.lineTo(o + 7.8, 0);
            base(7.8, 9.2);
            break;
        case 0x0E48:  // mai ek, over the letter before
            p.moveTo(baseX + baseW * 0.62, -2.6);
            p.lineTo(baseX + baseW * 0.62, -5.6);
            break;
        case 0x0E35:  // sara ii, over the letter before, clear of its stems
            loop(baseX + 1.6, -3.0, 0.6);
            p.moveTo(baseX + 1.0, -3.0);
            p.cubicTo(baseX + 1.4, -5.8, baseX + 5.2, -6.0, baseX + baseW - 1.2, -4.6);
            p.moveTo(baseX + baseW - 1.2, -7.2);
            p.lineTo(baseX + baseW - 1.2, -2.8);
            break;
        case 0x0E39:  // sara uu, under the letter before
            loop(baseX + baseW - 3.5, 12.1, 0.7);
            p.moveTo(baseX + baseW - 4.2, 12.1);
            p.lineTo(baseX + baseW - 4.2, 14.4);
            p.lineTo(baseX + baseW - 0.6, 14.4);
            p.lineTo(baseX + baseW - 0.6, 11.6);
            break;
        case ' ':
            x += 3;
            break;
        default:
            break;
        }
    }
    return p;
}

// Draws `path` (in its own units) scaled so that its bounding box is
// centred on `centre` at the given scale.
void strokeCentred(QPainter& painter, const QPainterPath& path, QPointF centre, qreal scale, const QPen& pen)
{
    const QRectF box = path.boundingRect();
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(scale, scale);
    t.translate(-box.center().x(), -box.center().y());
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(t.map(path));
}

void drawLatinCentred(QPainter& painter, const QString& text, QPointF centre, qreal height, const QColor& color)
{
    const qreal w = latinWidth(text, height);
    const QPainterPath path = latinText(text, QPointF(centre.x() - w / 2, centre.y() - height / 2), height);
    painter.setPen(QPen(color, std::max(1.2, height / 7.5), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

// ---- product pictures -----------------------------------------------------

enum class Shape { Bottle, Can, Box, Bag, Tube, Pen, Book, Roll, Bucket, Jar, Bar, Tool };

Shape shapeFor(const QString& unit, const QString& group)
{
    static const QList<std::pair<QString, Shape>> byUnit = {
        {QStringLiteral("ขวด"), Shape::Bottle},   {QStringLiteral("แกลลอน"), Shape::Bottle},
        {QStringLiteral("กระป๋อง"), Shape::Can},  {QStringLiteral("กล่อง"), Shape::Box},
        {QStringLiteral("ชุด"), Shape::Box},      {QStringLiteral("ฟอง"), Shape::Box},
        {QStringLiteral("ซอง"), Shape::Bag},      {QStringLiteral("ถุง"), Shape::Bag},
        {QStringLiteral("ห่อ"), Shape::Bag},      {QStringLiteral("แพ็ค"), Shape::Bag},
        {QStringLiteral("แผง"), Shape::Bag},      {QStringLiteral("หลอด"), Shape::Tube},
        {QStringLiteral("แท่ง"), Shape::Pen},     {QStringLiteral("เล่ม"), Shape::Book},
        {QStringLiteral("รีม"), Shape::Book},     {QStringLiteral("แฟ้ม"), Shape::Book},
        {QStringLiteral("ม้วน"), Shape::Roll},    {QStringLiteral("ถัง"), Shape::Bucket},
        {QStringLiteral("ใบ"), Shape::Bucket},    {QStringLiteral("กระปุก"), Shape::Jar},
        {QStringLiteral("ถ้วย"), Shape::Jar},     {QStringLiteral("ก้อน"), Shape::Bar},
    };
    for (const auto& [name, shape] : byUnit)
        if (unit == name)
            return shape;
    if (unit == QStringLiteral("ด้าม"))
        return group == QLatin1String("STATIONERY") || group == QLatin1String("PERSONAL") ? Shape::Pen : Shape::Tool;
    return group == QLatin1String("HARDWARE") ? Shape::Tool : Shape::Box;
}

// A stable colour per product, so that a product looks the same in every
// build of the demo.
int hueFor(const QString& code)
{
    unsigned h = 7;
    for (const QChar c : code)
        h = h * 31 + c.unicode();
    return int(h % 360);
}

struct Palette {
    QColor main, dark, light, ink;
};

Palette paletteFor(const QString& code)
{
    const int hue = hueFor(code);
    Palette p;
    p.main = QColor::fromHsv(hue, 170, 210);
    p.dark = QColor::fromHsv(hue, 200, 120);
    p.light = QColor::fromHsv(hue, 50, 250);
    p.ink = QColor(40, 40, 48);
    return p;
}

// A white label with the code, on the item's front.
void drawLabel(QPainter& g, const QRectF& r, const QString& code, const Palette& pal)
{
    g.setPen(QPen(pal.dark, 1.2));
    g.setBrush(QColor(252, 252, 248));
    g.drawRoundedRect(r, 3, 3);
    const qreal h = std::min(r.height() * 0.45, r.width() * 0.8 / std::max<qsizetype>(code.size(), 1));
    drawLatinCentred(g, code, r.center(), h, pal.ink);
}

// One item of the given shape filling `r` (taller than wide for most).
void drawItem(QPainter& g, Shape shape, const QRectF& r, const QString& code, const Palette& pal)
{
    const QPen outline(pal.dark, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QLinearGradient body(r.topLeft(), r.topRight());
    body.setColorAt(0, pal.main.darker(115));
    body.setColorAt(0.35, pal.main.lighter(125));
    body.setColorAt(1, pal.main.darker(130));
    g.setPen(outline);
    g.setBrush(body);
    const qreal x = r.x(), y = r.y(), w = r.width(), h = r.height();
    switch (shape) {
    case Shape::Bottle: {
        QPainterPath p;
        p.moveTo(x + w * 0.38, y + h * 0.08);
        p.lineTo(x + w * 0.38, y + h * 0.2);
        p.cubicTo(x + w * 0.05, y + h * 0.28, x + w * 0.05, y + h * 0.3, x + w * 0.05, y + h * 0.4);
        p.lineTo(x + w * 0.05, y + h * 0.95);
        p.quadTo(x + w * 0.05, y + h, x + w * 0.15, y + h);
        p.lineTo(x + w * 0.85, y + h);
        p.quadTo(x + w * 0.95, y + h, x + w * 0.95, y + h * 0.95);
        p.lineTo(x + w * 0.95, y + h * 0.4);
        p.cubicTo(x + w * 0.95, y + h * 0.3, x + w * 0.95, y + h * 0.28, x + w * 0.62, y + h * 0.2);
        p.lineTo(x + w * 0.62, y + h * 0.08);
        p.closeSubpath();
        g.drawPath(p);
        g.setBrush(pal.dark);
        g.drawRoundedRect(QRectF(x + w * 0.34, y, w * 0.32, h * 0.09), 2, 2);
        drawLabel(g, QRectF(x + w * 0.1, y + h * 0.5, w * 0.8, h * 0.28), code, pal);
        break;
    }
    case Shape::Can: {
        g.drawRect(QRectF(x, y + h * 0.06, w, h * 0.88));
        g.setBrush(QColor(200, 200, 205));
        g.drawEllipse(QRectF(x, y, w, h * 0.12));
        g.setBrush(body);
        g.drawChord(QRectF(x, y + h * 0.88, w, h * 0.12), 180 * 16, 180 * 16);
        drawLabel(g, QRectF(x + w * 0.08, y + h * 0.4, w * 0.84, h * 0.24), code, pal);
        break;
    }
    case Shape::Box:
    case Shape::Bar: {
        const qreal depth = shape == Shape::Bar ? h * 0.08 : w * 0.18;
        const QRectF front(x, y + depth, w - depth, h - depth);
        QPolygonF top({QPointF(x, y + depth), QPointF(x + depth, y), QPointF(x + w, y), QPointF(x + w - depth, y + depth)});
        QPolygonF side({QPointF(x + w - depth, y + depth), QPointF(x + w, y), QPointF(x + w, y + h - depth),
                        QPointF(x + w - depth, y + h)});
        g.drawRect(front);
        g.setBrush(pal.main.lighter(135));
        g.drawPolygon(top);
        g.setBrush(pal.main.darker(140));
        g.drawPolygon(side);
        drawLabel(g, QRectF(front.x() + front.width() * 0.1, front.y() + front.height() * 0.35, front.width() * 0.8,
                            std::min(front.height() * 0.3, 40.0)),
                  code, pal);
        break;
    }
    case Shape::Bag: {
        QPainterPath p;
        const int teeth = 8;
        p.moveTo(x, y + h * 0.06);
        for (int i = 1; i <= teeth; ++i)
            p.lineTo(x + w * i / teeth, y + (i % 2 ? 0.0 : h * 0.06));
        p.quadTo(x + w * 1.04, y + h * 0.5, x + w, y + h * 0.94);
        for (int i = teeth - 1; i >= 0; --i)
            p.lineTo(x + w * i / teeth, y + h - (i % 2 ? 0.0 : h * 0.06));
        p.quadTo(x - w * 0.04, y + h * 0.5, x, y + h * 0.06);
        g.drawPath(p);
        g.setBrush(pal.light);
        g.drawEllipse(QRectF(x + w * 0.2, y + h * 0.16, w * 0.6, h * 0.22));
        drawLabel(g, QRectF(x + w * 0.12, y + h * 0.5, w * 0.76, h * 0.22), code, pal);
        break;
    }
    case Shape::Tube: {
        QPainterPath p;
        p.moveTo(x + w * 0.05, y + h * 0.04);
        p.lineTo(x + w * 0.95, y + h * 0.04);
        p.lineTo(x + w * 0.7, y + h * 0.86);
        p.lineTo(x + w * 0.3, y + h * 0.86);
        p.closeSubpath();
        g.drawPath(p);
        g.setBrush(pal.dark);
        g.drawRect(QRectF(x + w * 0.34, y + h * 0.86, w * 0.32, h * 0.14));
        drawLabel(g, QRectF(x + w * 0.18, y + h * 0.3, w * 0.64, h * 0.2), code, pal);
        break;
    }
    case Shape::Pen: {
        g.save();
        g.translate(r.center());
        g.rotate(-60);
        const qreal len = std::hypot(w, h) * 0.85;
        const qreal thick = std::max(10.0, len * 0.09);
        g.drawRoundedRect(QRectF(-len / 2, -thick / 2, len * 0.8, thick), 3, 3);
        g.setBrush(QColor(230, 215, 180));
        g.drawPolygon(QPolygonF({QPointF(len * 0.3, -thick / 2), QPointF(len / 2, 0), QPointF(len * 0.3, thick / 2)}));
        g.setBrush(pal.dark);
        g.drawRect(QRectF(-len / 2 + len * 0.05, -thick / 2 - thick * 0.35, len * 0.3, thick * 0.3));
        g.restore();
        drawLabel(g, QRectF(x, y + h * 0.78, w, h * 0.2), code, pal);
        break;
    }
    case Shape::Book: {
        g.drawRect(QRectF(x + w * 0.08, y, w * 0.92, h));
        g.setBrush(pal.dark);
        g.drawRect(QRectF(x, y, w * 0.12, h));
        g.setPen(QPen(pal.light, 1.5));
        for (int i = 0; i < 3; ++i)
            g.drawLine(QPointF(x + w * 0.25, y + h * (0.15 + 0.07 * i)), QPointF(x + w * 0.9, y + h * (0.15 + 0.07 * i)));
        drawLabel(g, QRectF(x + w * 0.22, y + h * 0.5, w * 0.7, h * 0.2), code, pal);
        break;
    }
    case Shape::Roll: {
        const qreal d = std::min(w, h);
        const QRectF ring(x + (w - d) / 2, y + (h - d) / 2, d, d);
        g.drawEllipse(ring);
        g.setBrush(QColor(245, 240, 225));
        g.drawEllipse(ring.adjusted(d * 0.28, d * 0.28, -d * 0.28, -d * 0.28));
        drawLabel(g, QRectF(x + w * 0.1, ring.bottom() - d * 0.02, w * 0.8, std::min(h * 0.18, 30.0)), code, pal);
        break;
    }
    case Shape::Bucket:
    case Shape::Jar: {
        const bool jar = shape == Shape::Jar;
        QPainterPath p;
        p.moveTo(x, y + h * 0.2);
        p.lineTo(x + w, y + h * 0.2);
        p.lineTo(x + w * (jar ? 0.97 : 0.85), y + h);
        p.lineTo(x + w * (jar ? 0.03 : 0.15), y + h);
        p.closeSubpath();
        g.drawPath(p);
        g.setBrush(pal.dark);
        g.drawRoundedRect(QRectF(x - w * 0.02, y + h * 0.12, w * 1.04, h * 0.1), 3, 3);
        if (!jar) {
            g.setBrush(Qt::NoBrush);
            g.drawArc(QRectF(x + w * 0.1, y - h * 0.05, w * 0.8, h * 0.45), 0, 180 * 16);
        }
        drawLabel(g, QRectF(x + w * 0.18, y + h * 0.45, w * 0.64, h * 0.22), code, pal);
        break;
    }
    case Shape::Tool: {
        g.setBrush(QColor(150, 110, 70));
        g.drawRoundedRect(QRectF(x + w * 0.42, y + h * 0.2, w * 0.16, h * 0.8), 4, 4);
        g.setBrush(QColor(120, 125, 135));
        QPainterPath head;
        head.moveTo(x + w * 0.08, y + h * 0.08);
        head.lineTo(x + w * 0.78, y + h * 0.08);
        head.quadTo(x + w * 0.98, y + h * 0.1, x + w * 0.95, y + h * 0.3);
        head.lineTo(x + w * 0.78, y + h * 0.26);
        head.lineTo(x + w * 0.08, y + h * 0.26);
        head.closeSubpath();
        g.drawPath(head);
        g.setBrush(body);
        g.drawRect(QRectF(x + w * 0.4, y + h * 0.65, w * 0.2, h * 0.35));
        drawLabel(g, QRectF(x + w * 0.05, y + h * 0.4, w * 0.33, h * 0.16), code, pal);
        break;
    }
    }
}

// The 95 modules of an EAN-13 symbol ('1' dark), or empty when the text is
// not thirteen digits.
QString ean13Modules(const QString& digits)
{
    static const char* const left[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                         "0110001", "0101111", "0111011", "0110111", "0001011"};
    static const char* const parity[10] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                           "LGGLLG", "LGGGLG", "LGGGGL", "LGLGGL", "LGLGLG"};
    if (digits.size() != 13)
        return QString();
    for (const QChar c : digits)
        if (!c.isDigit())
            return QString();
    auto digit = [&](int i) { return digits.at(i).digitValue(); };
    auto rightCode = [&](int d) {
        QString s = QString::fromLatin1(left[d]);
        for (QChar& c : s)
            c = c == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    };
    QString m = QStringLiteral("101");
    const char* pattern = parity[digit(0)];
    for (int i = 1; i <= 6; ++i) {
        const int d = digit(i);
        if (pattern[i - 1] == 'L') {
            m += QString::fromLatin1(left[d]);
        } else {
            QString g = rightCode(d);
            std::reverse(g.begin(), g.end());
            m += g;
        }
    }
    m += QStringLiteral("01010");
    for (int i = 7; i <= 12; ++i)
        m += rightCode(digit(i));
    m += QStringLiteral("101");
    return m;
}

void drawBarCode(QPainter& g, const QRectF& r, const QString& digits)
{
    const QString modules = ean13Modules(digits);
    if (modules.isEmpty())
        return;
    // Whole pixels per module and no smoothing, so that the bars stay crisp
    // enough to scan from the screen.
    const int unit = std::max(1, int(r.width() / (modules.size() + 14)));
    const qreal x0 = std::round(r.center().x() - unit * modules.size() / 2.0);
    const qreal textH = std::min(r.height() * 0.16, unit * 7.0);
    g.save();
    g.setRenderHint(QPainter::Antialiasing, false);
    g.setPen(Qt::NoPen);
    g.setBrush(Qt::black);
    for (int i = 0; i < modules.size(); ++i) {
        if (modules.at(i) != QLatin1Char('1'))
            continue;
        const bool guard = i < 3 || (i >= 45 && i < 50) || i >= 92;
        const qreal bottom = r.bottom() - (guard ? textH * 0.6 : textH * 1.5);
        g.drawRect(QRectF(x0 + i * unit, r.top(), unit, std::round(bottom - r.top())));
    }
    g.restore();
    drawLatinCentred(g, digits, QPointF(r.center().x(), r.bottom() - textH / 2), textH, Qt::black);
}

void drawBackdrop(QPainter& g, const QSize& size, const Palette& pal)
{
    QLinearGradient bg(0, 0, 0, size.height());
    bg.setColorAt(0, QColor(250, 250, 252));
    bg.setColorAt(1, pal.light);
    g.fillRect(QRect(QPoint(0, 0), size), bg);
    g.setPen(Qt::NoPen);
    QRadialGradient shadow(QPointF(size.width() / 2.0, size.height() * 0.9), size.width() * 0.4);
    shadow.setColorAt(0, QColor(0, 0, 0, 60));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    g.setBrush(shadow);
    g.drawEllipse(QPointF(size.width() / 2.0, size.height() * 0.9), size.width() * 0.4, size.height() * 0.06);
}

} // namespace

namespace site {

QImage drawNoPicture()
{
    // The inquiry window stretches it into boxes of 193 by 166.
    QImage img(200, 170, QImage::Format_RGB32);
    img.fill(QColor(236, 236, 236));
    QPainter g(&img);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(168, 168, 168), 3));
    g.setBrush(QColor(246, 246, 246));
    g.drawRoundedRect(QRectF(6.5, 6.5, 187, 157), 10, 10);

    // Camera: body, viewfinder hump, lens and flash, in outline.
    const QPen outline(QColor(130, 130, 130), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    g.setPen(outline);
    g.setBrush(Qt::NoBrush);
    QPainterPath camera;
    camera.moveTo(60, 42);
    camera.lineTo(78, 42);
    camera.lineTo(86, 30);
    camera.lineTo(114, 30);
    camera.lineTo(122, 42);
    camera.lineTo(140, 42);
    camera.quadTo(148, 42, 148, 50);
    camera.lineTo(148, 96);
    camera.quadTo(148, 104, 140, 104);
    camera.lineTo(60, 104);
    camera.quadTo(52, 104, 52, 96);
    camera.lineTo(52, 50);
    camera.quadTo(52, 42, 60, 42);
    g.drawPath(camera);
    g.drawEllipse(QPointF(100, 72), 20, 20);
    g.drawEllipse(QPointF(100, 72), 9, 9);
    g.drawRect(QRectF(128, 50, 10, 6));

    const QPen letters(QColor(110, 110, 110), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    strokeCentred(g, thaiText(QStringLiteral("ไม่มีรูปภาพ")), QPointF(100, 134), 1.85, letters);
    g.end();
    return img;
}

QImage drawProductPicture(const QString& code, const QString& smallUnit, const QString& group, const QString& barCode,
                          int view)
{
    const QSize size(320, 240);
    QImage img(size, QImage::Format_RGB32);
    const Palette pal = paletteFor(code);
    QPainter g(&img);
    g.setRenderHint(QPainter::Antialiasing);
    drawBackdrop(g, size, pal);
    const Shape shape = shapeFor(smallUnit, group);
    const bool wide = shape == Shape::Roll || shape == Shape::Tool || shape == Shape::Bar || shape == Shape::Pen;
    switch (view) {
    case 2: {
        // The pack: a shipping case behind three of the items.
        const QColor kraft(196, 160, 110);
        g.setPen(QPen(kraft.darker(150), 2));
        g.setBrush(kraft);
        g.drawRect(QRectF(40, 70, 240, 140));
        g.setBrush(kraft.lighter(115));
        g.drawPolygon(QPolygonF({QPointF(40, 70), QPointF(70, 40), QPointF(300, 40), QPointF(280, 70)}));
        g.setBrush(kraft.darker(120));
        g.drawPolygon(QPolygonF({QPointF(280, 70), QPointF(300, 40), QPointF(300, 180), QPointF(280, 210)}));
        for (int i = 0; i < 3; ++i)
            drawItem(g, shape, QRectF(58 + i * 72, wide ? 120 : 92, 60, wide ? 60 : 110), code, pal);
        drawLatinCentred(g, code, QPointF(160, 56), 14, kraft.darker(220));
        break;
    }
    case 3: {
        // The label close up: code, and the bar code of the small unit.
        g.setPen(QPen(pal.dark, 2));
        g.setBrush(QColor(255, 255, 250));
        g.drawRoundedRect(QRectF(24, 24, 272, 192), 12, 12);
        g.setPen(Qt::NoPen);
        g.setBrush(pal.main);
        g.drawRoundedRect(QRectF(24, 24, 272, 50), 12, 12);
        g.drawRect(QRectF(24, 54, 272, 20));
        drawLatinCentred(g, code, QPointF(160, 49), 26, Qt::white);
        drawBarCode(g, QRectF(48, 90, 224, 116), barCode);
        break;
    }
    default:
        if (wide)
            drawItem(g, shape, QRectF(70, 50, 180, 160), code, pal);
        else
            drawItem(g, shape, QRectF(105, 22, 110, 192), code, pal);
        break;
    }
    g.end();
    return img;
}

} // namespace site

// ---- create-demo ----------------------------------------------------------

namespace {

// Files made by a run, removed again when the run fails, so that the folder
// can be used for the next try.
class MadeFiles {
public:
    void add(const QString& path) { paths_.append(path); }
    void addDatabase(const QString& folder, const QString& name)
    {
        const QString file = db::sqlite::findDatabaseFile(folder, name);
        add(file);
        add(file + QStringLiteral("-wal"));
        add(file + QStringLiteral("-shm"));
    }
    void addFolder(const QString& path) { folders_.append(path); }
    void removeAll()
    {
        for (const QString& p : std::as_const(paths_))
            QFile::remove(p);
        for (const QString& f : std::as_const(folders_))
            QDir(f).removeRecursively();
    }

private:
    QStringList paths_;
    QStringList folders_;
};

struct PictureCount {
    int jpeg = 0;
    int bitmap = 0;
};

// Draws every picture the demo's products name, except the one the demo
// keeps missing on purpose.
PictureCount drawDemoPictures(db::Engine& business, const QString& pictureFolder)
{
    const db::ResultSet rows = business.execute(QStringLiteral(R"(
Select P.Code, P.Picture1, P.Picture2, P.Picture3, G.Code GroupCode,
       (Select U.UnitName From ProductUnits U Where U.Product = P.Id And U.SmallUnitFlag = 'Y') SmallUnit,
       (Select U.BarCode From ProductUnits U Where U.Product = P.Id And U.SmallUnitFlag = 'Y') BarCode
From Product P
Left Join Misc G On G.Id = P.PGroup
Where Coalesce(P.Picture1, '') <> '' Or Coalesce(P.Picture2, '') <> '' Or Coalesce(P.Picture3, '') <> ''
Order By P.Code
)"),
                                                db::ParamValues());
    PictureCount count;
    for (const QVector<QVariant>& row : rows.rows) {
        const QString code = row.at(0).toString();
        for (int view = 1; view <= 3; ++view) {
            const QString name = row.at(view).toString().trimmed();
            if (name.isEmpty() || name == QLatin1String(kDemoMissingPicture))
                continue;
            const QImage img = site::drawProductPicture(code, row.at(5).toString(), row.at(4).toString(),
                                                        row.at(6).toString(), view);
            const QString path = QDir(pictureFolder).filePath(name);
            const bool bitmap = name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive);
            if (!img.save(path, bitmap ? "BMP" : "JPG", 90))
                throw db::DbError(QStringLiteral("Cannot write the picture %1").arg(path));
            ++(bitmap ? count.bitmap : count.jpeg);
        }
    }
    return count;
}

int scalarInt(db::Engine& engine, const QString& sql)
{
    const db::ResultSet r = engine.execute(sql, db::ParamValues());
    return r.rows.empty() ? 0 : r.rows.front().value(0).toInt();
}

} // namespace

int createDemo(const QString& folderGiven, QIODevice& out, QIODevice& err)
{
    QElapsedTimer clock;
    clock.start();
    const QString folder = site::absoluteFolder(folderGiven);
    const QString demo = QString::fromLatin1(kDemoDatabase);
    const QString config = QString::fromLatin1(kDefaultDatabase);
    for (const QString& name : {config, demo}) {
        if (!db::sqlite::findDatabaseFile(folder, name).isEmpty()) {
            err.write(line(QStringLiteral("qel-db: %1 already holds a %2 database; create-demo needs a folder "
                                          "without one (remove it or choose another folder)")
                               .arg(folder, name)));
            return 1;
        }
    }

    MadeFiles made;
    const bool folderExisted = QFileInfo(folder).isDir();
    if (!folderExisted)
        made.addFolder(folder);
    try {
        db::sqlite::createDatabase(folder, config);
        made.addDatabase(folder, config);
        db::sqlite::createDatabase(folder, demo);
        made.addDatabase(folder, demo);

        const QString pictureFolder = QDir(folder).filePath(QStringLiteral("pictures"));
        const bool picturesExisted = QFileInfo(pictureFolder).isDir();
        if (!QDir().mkpath(pictureFolder))
            throw db::DbError(QStringLiteral("Cannot make the folder %1").arg(pictureFolder));
        if (!picturesExisted)
            made.addFolder(pictureFolder);

        PictureCount pictures;
        int products = 0;
        int customers = 0;
        {
            const auto business = site::openDatabase(folder, demo);
            site::runBuiltInScript(*business, QStringLiteral("business.sql"));
            site::runBuiltInScript(*business, QStringLiteral("program.sql"));
            site::runBuiltInScript(*business, QStringLiteral("demo.sql"));
            site::runBuiltInScript(*business, QStringLiteral("embedded.sql"));
            db::ParamValues p;
            p.set(QStringLiteral("PicturePath"), pictureFolder);
            business->execute(QStringLiteral("Update Config Set PicturePath = :PicturePath"), p);

            site::CompanyRecord company;
            company.code = demo;
            company.nameThai = QStringLiteral("บริษัท ทองสยาม เทรดดิ้ง จำกัด");
            company.nameEng = QStringLiteral("Thong Siam Trading Co., Ltd.");
            company.shortName = QStringLiteral("ทองสยาม");
            company.address = {QStringLiteral("88/8 หมู่ 5 ถนนบางนา-ตราด กม. 12"), QStringLiteral("ตำบลบางพลีใหญ่"),
                               QStringLiteral("อำเภอบางพลี"), QStringLiteral("จังหวัดสมุทรปราการ")};
            company.province = QStringLiteral("สมุทรปราการ");
            company.zip = QStringLiteral("10540");
            company.telephone = QStringLiteral("02-316-8888");
            company.taxNo = QStringLiteral("0115556012345");
            company.database = demo;
            company.description = QStringLiteral("บริษัทสาธิต");
            company.picturePath = pictureFolder;
            company.defaultWarehouse = scalarInt(*business, QStringLiteral("Select Id From Warehouse Where Code = 'MAIN'"));
            company.posWarehouse = scalarInt(*business, QStringLiteral("Select Id From Warehouse Where Code = 'SHOP'"));
            company.defaultTax = scalarInt(*business, QStringLiteral("Select Id From Tax Where Code = 'V7'"));
            company.posTaxCode = QStringLiteral("V7");
            company.posPriceType =
                scalarInt(*business, QStringLiteral("Select Id From Misc Where GroupCode = 'PRICETYPE' And Code = '01'"));
            QList<int> salesIds;
            for (const char* code : {"S01", "S03", "S01", "S04"})
                salesIds.append(scalarInt(*business, QStringLiteral("Select Id From Salesman Where Code = '%1'")
                                                         .arg(QLatin1String(code))));

            const auto configDb = site::openDatabase(folder, config);
            site::runBuiltInScript(*configDb, QStringLiteral("config.sql"));
            site::installMenuAndUsers(*configDb, salesIds);
            site::registerCompany(*configDb, company);

            pictures = drawDemoPictures(*business, pictureFolder);
            products = scalarInt(*business, QStringLiteral("Select Count(*) From Product"));
            customers = scalarInt(*business, QStringLiteral("Select Count(*) From Customer"));
        }

        const QString placeholder = QDir(folder).filePath(QStringLiteral("NoPicture.Bmp"));
        made.add(placeholder);
        if (!site::drawNoPicture().save(placeholder, "BMP"))
            throw db::DbError(QStringLiteral("Cannot write %1").arg(placeholder));
        made.add(QDir(folder).filePath(QStringLiteral("Server.Dat")));
        site::writeServerFile(folder);
        const QString layout = QDir(folder).filePath(QStringLiteral("Form_ChkPrice.frf"));
        made.add(layout);
        if (!QFile::copy(QStringLiteral(":/layouts/Form_ChkPrice.frf"), layout))
            throw db::DbError(QStringLiteral("Cannot write %1").arg(layout));
        QFile::setPermissions(layout, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);

        out.write(line(QStringLiteral("Demo site made in %1 (%2 s):").arg(folder).arg(clock.elapsed() / 1000.0, 0, 'f', 1)));
        out.write(line(QStringLiteral("  databases QEL_CONFIG and %1: %2 products, %3 customers").arg(demo).arg(products).arg(customers)));
        out.write(line(QStringLiteral("  pictures/: %1 JPEG and %2 BMP pictures; NoPicture.Bmp; Form_ChkPrice.frf; Server.Dat")
                           .arg(pictures.jpeg)
                           .arg(pictures.bitmap)));
        out.write(line(QStringLiteral("  users: 1 ADMIN (Thai, all rights), 2 CLERK (English, no prices), "
                                      "3 GUEST (no access), 4 SALES (no cost)")));
        out.write(line(QStringLiteral("Start the price inquiry from that folder with menu 12, a user id and %1, "
                                      "e.g. priceinquiry 12 1 %1 - - <today>").arg(demo)));
        return 0;
    } catch (const db::DbError& e) {
        made.removeAll();
        err.write(line(QStringLiteral("qel-db: create-demo: ") + e.message()));
        return 1;
    }
}

} // namespace qeldb
