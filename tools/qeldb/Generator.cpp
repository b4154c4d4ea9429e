#include "Generator.h"

#include "CommandOptions.h"

#include "Demo.h"
#include "Progress.h"
#include "QelDb.h"

#include "db/DbError.h"
#include "db/sqlite/SqliteEngine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <functional>

namespace qeldb {

namespace {

constexpr int kMaxProducts = 1000000;
constexpr qint64 kMaxHistoryLines = 20000000;
constexpr int kMaxWarehouses = 999;
constexpr int kMaxYears = 10;
constexpr int kSalesmen = 20;
constexpr int kVendors = 50;

QByteArray line(const QString& text)
{
    return text.toUtf8() + '\n';
}

QString number(qint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

bool readCount(const QString& text, qint64 low, qint64 high, qint64* value)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

// Words the generated names are made of. Kind 1: what a product is, per
// group; 2 brands; 3 variants; 4 shop names; 5 and 6 the forms of a shop's
// name around it; 7 and 8 first names and surnames; 9 the trades of vendors;
// 10 roads.
const char kWords[] = R"(
Insert Into GenWord (Kind, Grp, Idx, Word, WordEng) Values
  (1, 0, 0, N'น้ำดื่ม', 'Drinking Water'), (1, 0, 1, N'ชาเขียวพร้อมดื่ม', 'Green Tea'),
  (1, 0, 2, N'กาแฟกระป๋อง', 'Canned Coffee'), (1, 0, 3, N'น้ำผลไม้', 'Fruit Juice'),
  (1, 0, 4, N'นมยูเอชที', 'UHT Milk'), (1, 0, 5, N'น้ำอัดลม', 'Soft Drink'),
  (1, 0, 6, N'เครื่องดื่มเกลือแร่', 'Sports Drink'), (1, 0, 7, N'นมถั่วเหลือง', 'Soy Milk'),
  (1, 0, 8, N'ชาไทยพร้อมดื่ม', 'Thai Tea'), (1, 0, 9, N'โซดา', 'Soda Water'),
  (1, 1, 0, N'มันฝรั่งทอดกรอบ', 'Potato Chips'), (1, 1, 1, N'ข้าวเกรียบ', 'Crackers'),
  (1, 1, 2, N'ถั่วอบ', 'Roasted Nuts'), (1, 1, 3, N'สาหร่ายอบกรอบ', 'Seaweed Snack'),
  (1, 1, 4, N'ขนมปังกรอบ', 'Biscuits'), (1, 1, 5, N'เวเฟอร์', 'Wafers'),
  (1, 1, 6, N'ลูกอม', 'Candy'), (1, 1, 7, N'ช็อกโกแลต', 'Chocolate'),
  (1, 1, 8, N'ป๊อปคอร์น', 'Popcorn'), (1, 1, 9, N'คุกกี้', 'Cookies'),
  (1, 2, 0, N'น้ำปลา', 'Fish Sauce'), (1, 2, 1, N'ซีอิ๊วขาว', 'Soy Sauce'),
  (1, 2, 2, N'ซอสหอยนางรม', 'Oyster Sauce'), (1, 2, 3, N'น้ำมันพืช', 'Vegetable Oil'),
  (1, 2, 4, N'น้ำตาลทราย', 'Sugar'), (1, 2, 5, N'บะหมี่กึ่งสำเร็จรูป', 'Instant Noodles'),
  (1, 2, 6, N'ปลากระป๋อง', 'Canned Fish'), (1, 2, 7, N'ข้าวหอมมะลิ', 'Jasmine Rice'),
  (1, 2, 8, N'ซอสพริก', 'Chili Sauce'), (1, 2, 9, N'แป้งสาลี', 'Wheat Flour'),
  (1, 3, 0, N'น้ำยาล้างจาน', 'Dish Soap'), (1, 3, 1, N'ผงซักฟอก', 'Detergent'),
  (1, 3, 2, N'น้ำยาปรับผ้านุ่ม', 'Fabric Softener'), (1, 3, 3, N'น้ำยาถูพื้น', 'Floor Cleaner'),
  (1, 3, 4, N'กระดาษชำระ', 'Toilet Tissue'), (1, 3, 5, N'ถุงขยะ', 'Garbage Bags'),
  (1, 3, 6, N'ฟองน้ำล้างจาน', 'Sponge'), (1, 3, 7, N'ถ่านไฟฉาย', 'Batteries'),
  (1, 3, 8, N'หลอดไฟ LED', 'LED Bulb'), (1, 3, 9, N'ไม้แขวนเสื้อ', 'Hangers'),
  (1, 4, 0, N'สบู่', 'Soap'), (1, 4, 1, N'แชมพู', 'Shampoo'),
  (1, 4, 2, N'ครีมนวดผม', 'Conditioner'), (1, 4, 3, N'ยาสีฟัน', 'Toothpaste'),
  (1, 4, 4, N'แปรงสีฟัน', 'Toothbrush'), (1, 4, 5, N'โลชั่น', 'Lotion'),
  (1, 4, 6, N'แป้งเด็ก', 'Baby Powder'), (1, 4, 7, N'น้ำยาบ้วนปาก', 'Mouthwash'),
  (1, 4, 8, N'เจลล้างมือ', 'Hand Gel'), (1, 4, 9, N'สำลี', 'Cotton'),
  (1, 5, 0, N'ปากกาลูกลื่น', 'Ballpoint Pen'), (1, 5, 1, N'ดินสอ', 'Pencil'),
  (1, 5, 2, N'ยางลบ', 'Eraser'), (1, 5, 3, N'สมุด', 'Notebook'),
  (1, 5, 4, N'กระดาษ A4', 'A4 Paper'), (1, 5, 5, N'แฟ้มเอกสาร', 'File Folder'),
  (1, 5, 6, N'เทปใส', 'Clear Tape'), (1, 5, 7, N'กรรไกร', 'Scissors'),
  (1, 5, 8, N'คลิปหนีบกระดาษ', 'Binder Clips'), (1, 5, 9, N'ซองจดหมาย', 'Envelopes'),
  (1, 6, 0, N'ตะปู', 'Nails'), (1, 6, 1, N'สกรู', 'Screws'),
  (1, 6, 2, N'ค้อน', 'Hammer'), (1, 6, 3, N'ไขควง', 'Screwdriver'),
  (1, 6, 4, N'คีม', 'Pliers'), (1, 6, 5, N'ประแจ', 'Wrench'),
  (1, 6, 6, N'สายไฟ', 'Cable'), (1, 6, 7, N'สีทาบ้าน', 'House Paint'),
  (1, 6, 8, N'ท่อพีวีซี', 'PVC Pipe'), (1, 6, 9, N'กุญแจ', 'Padlock'),
  (2, 0, 0, N'สยามทิพย์', 'Siam Thip'), (2, 0, 1, N'ภูผา', 'Phu Pha'), (2, 0, 2, N'ใบบัว', 'Bai Bua'),
  (2, 0, 3, N'ดาวเหนือ', 'Dao Nuea'), (2, 0, 4, N'แม่ศรี', 'Mae Si'), (2, 0, 5, N'ทองคำ', 'Thong Kham'),
  (2, 0, 6, N'นาวา', 'Nawa'), (2, 0, 7, N'สุขใจ', 'Sukjai'), (2, 0, 8, N'รวงข้าว', 'Ruang Khao'),
  (2, 0, 9, N'ทะเลทอง', 'Thale Thong'), (2, 0, 10, N'กรีนลีฟ', 'Green Leaf'), (2, 0, 11, N'ซันนี่', 'Sunny'),
  (2, 0, 12, N'ใสสะอาด', 'Sai Sa-at'), (2, 0, 13, N'หอมละมุน', 'Hom Lamun'), (2, 0, 14, N'เส้นสวย', 'Sen Suay'),
  (2, 0, 15, N'ช่างไทย', 'Chang Thai'), (2, 0, 16, N'มั่นคง', 'Mankhong'), (2, 0, 17, N'ฟ้าใส', 'Fah Sai'),
  (2, 0, 18, N'ดอกแก้ว', 'Dok Kaew'), (2, 0, 19, N'พลอยงาม', 'Ploy Ngam'),
  (3, 0, 0, N'สูตรดั้งเดิม', 'Original'), (3, 0, 1, N'สูตรใหม่', 'New Formula'), (3, 0, 2, N'ขนาดประหยัด', 'Value Size'),
  (3, 0, 3, N'ขนาดพิเศษ', 'Extra Size'), (3, 0, 4, N'พรีเมียม', 'Premium'), (3, 0, 5, N'สีแดง', 'Red'),
  (3, 0, 6, N'สีน้ำเงิน', 'Blue'), (3, 0, 7, N'สีเขียว', 'Green'), (3, 0, 8, N'ชนิดเติม', 'Refill'),
  (3, 0, 9, N'แพ็คคู่', 'Twin Pack'),
  (4, 0, 0, N'สมใจ', 'Somjai'), (4, 0, 1, N'รุ่งเรือง', 'Rungrueang'), (4, 0, 2, N'เจริญชัย', 'Charoenchai'),
  (4, 0, 3, N'ทวีทรัพย์', 'Thawisap'), (4, 0, 4, N'โชคดี', 'Chokdee'), (4, 0, 5, N'มั่งมี', 'Mangmee'),
  (4, 0, 6, N'ศรีสุข', 'Srisuk'), (4, 0, 7, N'ทองดี', 'Thongdee'), (4, 0, 8, N'เจริญพร', 'Charoenphon'),
  (4, 0, 9, N'พูนผล', 'Phunphon'), (4, 0, 10, N'สุขสวัสดิ์', 'Suksawat'), (4, 0, 11, N'ร่วมใจ', 'Ruamjai'),
  (4, 0, 12, N'มงคล', 'Mongkhon'), (4, 0, 13, N'ประเสริฐ', 'Prasoet'), (4, 0, 14, N'วัฒนา', 'Watthana'),
  (4, 0, 15, N'บุญมา', 'Bunma'), (4, 0, 16, N'แสงทอง', 'Saengthong'), (4, 0, 17, N'รวมโชค', 'Ruamchok'),
  (4, 0, 18, N'ธนากร', 'Thanakon'), (4, 0, 19, N'ก้าวหน้า', 'Kaona'),
  (5, 0, 0, N'ร้าน', 'Shop'), (5, 0, 1, N'ร้าน', 'Minimart'), (5, 0, 2, N'บริษัท ', 'Wholesale Co., Ltd.'),
  (5, 0, 3, N'ห้างหุ้นส่วนจำกัด ', 'Trading Ltd., Part.'), (5, 0, 4, N'ร้าน', 'Grocery'),
  (5, 0, 5, N'บริษัท ', 'Supply Co., Ltd.'), (5, 0, 6, N'ร้าน', 'Retail'), (5, 0, 7, N'ร้าน', 'Stationery'),
  (5, 0, 8, N'ร้าน', 'Building Supplies'), (5, 0, 9, N'บริษัท ', 'Trading Co., Ltd.'),
  (6, 0, 0, N'พาณิชย์', ''), (6, 0, 1, N'มินิมาร์ท', ''), (6, 0, 2, N'ค้าส่ง จำกัด', ''),
  (6, 0, 3, N'การค้า', ''), (6, 0, 4, N'โชห่วย', ''), (6, 0, 5, N'ซัพพลาย จำกัด', ''),
  (6, 0, 6, N'ค้าปลีก', ''), (6, 0, 7, N'เครื่องเขียน', ''), (6, 0, 8, N'วัสดุก่อสร้าง', ''),
  (6, 0, 9, N'เทรดดิ้ง จำกัด', ''),
  (7, 0, 0, N'สมชาย', ''), (7, 0, 1, N'สุนีย์', ''), (7, 0, 2, N'วิชัย', ''), (7, 0, 3, N'อรุณี', ''),
  (7, 0, 4, N'ประสิทธิ์', ''), (7, 0, 5, N'มาลี', ''), (7, 0, 6, N'สมศักดิ์', ''), (7, 0, 7, N'จิราพร', ''),
  (7, 0, 8, N'ธนพล', ''), (7, 0, 9, N'กาญจนา', ''),
  (8, 0, 0, N'ใจดี', ''), (8, 0, 1, N'รักงาน', ''), (8, 0, 2, N'มั่นคง', ''), (8, 0, 3, N'ศรีสุข', ''),
  (8, 0, 4, N'ทองดี', ''), (8, 0, 5, N'แก้วใส', ''), (8, 0, 6, N'บุญมี', ''), (8, 0, 7, N'สายทอง', ''),
  (8, 0, 8, N'พรหมมา', ''), (8, 0, 9, N'วงศ์ไทย', ''),
  (9, 0, 0, N'อุตสาหกรรม', 'Industries'), (9, 0, 1, N'เทรดดิ้ง', 'Trading'), (9, 0, 2, N'ดิสทริบิวชั่น', 'Distribution'),
  (9, 0, 3, N'ฟู้ด', 'Foods'), (9, 0, 4, N'ซัพพลาย', 'Supply'),
  (10, 0, 0, N'สุขุมวิท', ''), (10, 0, 1, N'พหลโยธิน', ''), (10, 0, 2, N'เพชรเกษม', ''), (10, 0, 3, N'มิตรภาพ', ''),
  (10, 0, 4, N'รามคำแหง', ''), (10, 0, 5, N'งามวงศ์วาน', ''), (10, 0, 6, N'ติวานนท์', ''), (10, 0, 7, N'บางนา-ตราด', ''),
  (10, 0, 8, N'ลาดพร้าว', ''), (10, 0, 9, N'เจริญกรุง', '')
)";

// Units per group and pack variant: the small unit, a middle one and the
// case. Variant 2 is stocked in its small unit, the others in the middle one.
struct PackRow {
    int group, variant;
    const char* units[3];
    int fractions[3];
};
constexpr PackRow kPacks[] = {
    {0, 0, {"ขวด", "แพ็ค", "ลัง"}, {1, 6, 24}},       {0, 1, {"ขวด", "แพ็ค", "ลัง"}, {1, 12, 24}},
    {0, 2, {"กระป๋อง", "แพ็ค", "ลัง"}, {1, 6, 24}},   {1, 0, {"ซอง", "แพ็ค", "ลัง"}, {1, 12, 72}},
    {1, 1, {"ซอง", "แพ็ค", "ลัง"}, {1, 6, 48}},       {1, 2, {"ถุง", "โหล", "ลัง"}, {1, 12, 144}},
    {2, 0, {"ขวด", "โหล", "ลัง"}, {1, 12, 24}},       {2, 1, {"ซอง", "แพ็ค", "ลัง"}, {1, 10, 60}},
    {2, 2, {"กระป๋อง", "แพ็ค", "ลัง"}, {1, 10, 100}}, {3, 0, {"ขวด", "โหล", "ลัง"}, {1, 12, 24}},
    {3, 1, {"ถุง", "แพ็ค", "ลัง"}, {1, 6, 24}},       {3, 2, {"ชิ้น", "โหล", "ลัง"}, {1, 12, 144}},
    {4, 0, {"ขวด", "โหล", "ลัง"}, {1, 12, 48}},       {4, 1, {"ก้อน", "แพ็ค", "ลัง"}, {1, 4, 144}},
    {4, 2, {"หลอด", "แพ็ค", "ลัง"}, {1, 6, 72}},      {5, 0, {"ด้าม", "โหล", "ลัง"}, {1, 12, 144}},
    {5, 1, {"เล่ม", "แพ็ค", "ลัง"}, {1, 10, 100}},    {5, 2, {"ชิ้น", "กล่อง", "ลัง"}, {1, 24, 144}},
    {6, 0, {"ชิ้น", "โหล", "ลัง"}, {1, 12, 144}},     {6, 1, {"ตัว", "กล่อง", "ลัง"}, {1, 100, 2000}},
    {6, 2, {"อัน", "แพ็ค", "ลัง"}, {1, 10, 50}},
};

QString packValues()
{
    QStringList rows;
    for (const PackRow& p : kPacks)
        for (int seq = 0; seq < 3; ++seq)
            rows.append(QStringLiteral("(%1, %2, %3, N'%4', %5)")
                            .arg(p.group)
                            .arg(p.variant)
                            .arg(seq + 1)
                            .arg(QString::fromUtf8(p.units[seq]))
                            .arg(p.fractions[seq]));
    return QStringLiteral("Insert Into GenPack (Grp, Variant, Seq, UnitName, Fraction) Values\n  ")
        + rows.join(QStringLiteral(",\n  "));
}

// EAN-13 "885" + the nine digits of `unitId` (an SQL expression) + the check
// digit, all in integer arithmetic so that it runs set-based.
QString eanExpression(const QString& unitId)
{
    // Positions 4 to 12 carry the id's digits, weighted 3, 1, 3, ...; the
    // prefix 8, 8, 5 contributes 8 + 24 + 5.
    QStringList terms{QStringLiteral("37")};
    qint64 power = 100000000;
    for (int pos = 4; pos <= 12; ++pos, power /= 10) {
        const QString digit = QStringLiteral("((%1) / %2) % 10").arg(unitId).arg(power);
        terms.append(pos % 2 == 0 ? QStringLiteral("3 * ") + digit : digit);
    }
    return QStringLiteral("'885' + Right('000000000' + Convert(VarChar(9), %1), 9) + "
                          "Convert(VarChar(1), (10 - (%2) % 10) % 10)")
        .arg(unitId, terms.join(QStringLiteral(" + ")));
}

struct Step {
    QString name;
    QString table;  // counted and reported after the step, when set
    QString sql;
};

} // namespace

// ---- command line ----------------------------------------------------------

const QStringList kGenerateOptions{QStringLiteral("--products"), QStringLiteral("--warehouses"), QStringLiteral("--years"),
                                   QStringLiteral("--invoice-lines"), QStringLiteral("--seed")};

bool isGenerateOption(const QString& argument)
{
    return isCommandOption(argument, kGenerateOptions);
}

bool parseGenerateArguments(const QStringList& arguments, GenerateRequest* request, QString* error)
{
    GenerateRequest s = *request;
    bool haveFolder = false;
    bool haveProducts = false;
    QList<CommandArgument> split;
    if (!splitCommandArguments(arguments, kGenerateOptions, &split, error))
        return false;
    for (const CommandArgument& argument : std::as_const(split)) {
        const QString& a = argument.value;
        if (argument.option.isEmpty()) {
            if (haveFolder) {
                *error = QStringLiteral("generate takes one folder (%1 is a second)").arg(a);
                return false;
            }
            if (a.isEmpty()) {
                *error = QStringLiteral("generate needs a folder");
                return false;
            }
            s.folder = a;
            haveFolder = true;
            continue;
        }
        const QString& name = argument.option;
        const QString& value = argument.value;
        qint64 v = 0;
        if (name == QLatin1String("--products")) {
            if (!readCount(value, 1, kMaxProducts, &v)) {
                *error = QStringLiteral("--products takes a number from 1 to %1").arg(number(kMaxProducts));
                return false;
            }
            s.products = int(v);
            haveProducts = true;
        } else if (name == QLatin1String("--warehouses")) {
            if (!readCount(value, 1, kMaxWarehouses, &v)) {
                *error = QStringLiteral("--warehouses takes a number from 1 to %1").arg(kMaxWarehouses);
                return false;
            }
            s.warehouses = int(v);
        } else if (name == QLatin1String("--years")) {
            if (!readCount(value, 1, kMaxYears, &v)) {
                *error = QStringLiteral("--years takes a number from 1 to %1").arg(kMaxYears);
                return false;
            }
            s.years = int(v);
        } else if (name == QLatin1String("--invoice-lines")) {
            if (!readCount(value, 0, kMaxHistoryLines, &v)) {
                *error = QStringLiteral("--invoice-lines takes a number from 0 to %1").arg(number(kMaxHistoryLines));
                return false;
            }
            s.invoiceLines = v;
        } else {
            if (!readCount(value, 0, 2147483647, &v)) {
                *error = QStringLiteral("--seed takes a whole number from 0 to 2147483647");
                return false;
            }
            s.seed = v;
        }
    }
    if (!haveFolder) {
        *error = QStringLiteral("generate needs a folder");
        return false;
    }
    if (!haveProducts) {
        *error = QStringLiteral("generate needs --products N");
        return false;
    }
    *request = s;
    return true;
}

// ---- generate --------------------------------------------------------------

int generate(const GenerateRequest& request, QIODevice& out, QIODevice& err)
{
    QElapsedTimer total;
    total.start();
    const QString folder = site::absoluteFolder(request.folder);
    const QString name = request.database.trimmed().toUpper();
    const QString config = QString::fromLatin1(kDefaultDatabase);
    static const QRegularExpression validName(QStringLiteral("\\A[A-Z][A-Z0-9_]{0,63}\\z"));
    if (!validName.match(name).hasMatch() || name == config) {
        err.write(line(QStringLiteral("qel-db: generate: %1 cannot name a business database (a letter, then "
                                      "letters, digits or _; not QEL_CONFIG)")
                           .arg(request.database)));
        return 1;
    }
    if (!db::sqlite::findDatabaseFile(folder, name).isEmpty()) {
        err.write(line(QStringLiteral("qel-db: generate: %1 already holds a database %2; choose another "
                                      "--database or remove it")
                           .arg(folder, name)));
        return 1;
    }
    const QString companyCode = name.left(10);
    const bool configExisted = !db::sqlite::findDatabaseFile(folder, config).isEmpty();
    if (configExisted) {
        try {
            const auto configDb = site::openDatabase(folder, config);
            db::ParamValues p;
            p.set(QStringLiteral("Name"), name);
            p.set(QStringLiteral("Code"), companyCode);
            const db::ResultSet r = configDb->execute(
                QStringLiteral("Select (Select Count(*) From DatabaseList Where DatabaseName = :Name), "
                               "(Select Count(*) From Company Where Code = :Code)"),
                p);
            if (!r.rows.empty() && (r.rows.front().value(0).toInt() > 0 || r.rows.front().value(1).toInt() > 0)) {
                err.write(line(QStringLiteral("qel-db: generate: QEL_CONFIG in %1 already lists the database %2 or the "
                                              "company %3")
                                   .arg(folder, name, companyCode)));
                return 1;
            }
        } catch (const db::DbError& e) {
            err.write(line(QStringLiteral("qel-db: generate: ") + e.message()));
            return 1;
        }
    }

    const int products = request.products;
    const int warehouses = request.warehouses;
    const int customers = request.customers();
    const qint64 lines = request.historyLines();
    // Half of the history is credit invoices (four lines each), the rest
    // point-of-sale bills of both programs (three lines each).
    const qint64 ivLines = lines / 2;
    const qint64 posLines = lines * 3 / 10;
    const qint64 posbLines = lines - ivLines - posLines;
    const qint64 numbers =
        std::max<qint64>({products, ivLines, posLines, posbLines, customers, warehouses, kVendors, kSalesmen, 1000});

    QHash<QString, QString> values{
        {QStringLiteral("Products"), QString::number(products)},
        {QStringLiteral("Warehouses"), QString::number(warehouses)},
        // Steps between the warehouses a product is stocked in: at most
        // twelve steps stay below the number of warehouses, so none repeats.
        {QStringLiteral("Stride"), QString::number(std::max(1, (warehouses - 1) / 12))},
        {QStringLiteral("Years"), QString::number(request.years)},
        {QStringLiteral("Days"), QString::number(365 * request.years)},
        {QStringLiteral("Customers"), QString::number(customers)},
        {QStringLiteral("Numbers"), QString::number(numbers)},
        {QStringLiteral("SeedA"), QString::number(request.seed % 1000003)},
        {QStringLiteral("SeedB"), QString::number((request.seed * 7 + 3) % 999983)},
        {QStringLiteral("Today"), QStringLiteral("DateAdd(day, DateDiff(day, 0, GetDate()), 0)")},
        {QStringLiteral("IvLines"), QString::number(ivLines)},
        {QStringLiteral("IvHeaders"), QString::number((ivLines + 3) / 4)},
        {QStringLiteral("PosLines"), QString::number(posLines)},
        {QStringLiteral("PosHeaders"), QString::number((posLines + 2) / 3)},
        {QStringLiteral("PosbLines"), QString::number(posbLines)},
        {QStringLiteral("PosbHeaders"), QString::number((posbLines + 2) / 3)},
        {QStringLiteral("MrHeaders"), QString::number((products + 9) / 10)},
        {QStringLiteral("Ean"), eanExpression(QStringLiteral("(G.N - 1) * 3 + K.Seq"))},
        {QStringLiteral("Packs"), packValues()},
        {QStringLiteral("Words"), QString::fromUtf8(kWords)},
    };
    auto fill = [&values](QString sql) {
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            sql.replace(QLatin1Char('{') + it.key() + QLatin1Char('}'), it.value());
        return sql;
    };

    // Ids are given explicitly (IDENTITY_INSERT) wherever other rows refer
    // to them by arithmetic: product n has units 3n-2 to 3n and unit u has
    // prices 4u-3 to 4u. R and R2 are the row number's two pseudo-random
    // values, from 0 to about a million: squares modulo a prime, which
    // scatter their low digits well, unlike a linear formula.
    const std::vector<Step> steps = {
        {QStringLiteral("numbers"), QStringLiteral("GenNumber"), QStringLiteral(R"(
Create Table GenNumber (N Int Not Null Constraint PK_GenNumber Primary Key, R Int Not Null, R2 Int Not Null)
Insert Into GenNumber (N, R, R2) Values (1, 0, 0)
Declare @Have Int
Set @Have = 1
While @Have < {Numbers}
Begin
  Insert Into GenNumber (N, R, R2) Select N + @Have, 0, 0 From GenNumber Where N + @Have <= {Numbers}
  Set @Have = @Have * 2
End
Update GenNumber Set R = Convert(BigInt, N) * 7919 % 1000003
Update GenNumber Set R = ((Convert(BigInt, R) + {SeedA}) % 1000003 * ((R + {SeedA}) % 1000003) + N * 131 + {SeedB}) % 999983
Update GenNumber Set R2 = (Convert(BigInt, R) * R + N * 17 + {SeedA}) % 1000003
)")},
        {QStringLiteral("code tables"), QString(), QStringLiteral(R"(
Set IDENTITY_INSERT Misc On
Insert Into Misc (Id, GroupCode, Code, Description) Values
  (1, 'CITY', 'BKK', N'กรุงเทพมหานคร'), (2, 'CITY', 'NBI', N'นนทบุรี'), (3, 'CITY', 'PTE', N'ปทุมธานี'),
  (4, 'CITY', 'SPK', N'สมุทรปราการ'), (5, 'CITY', 'NPT', N'นครปฐม'), (6, 'CITY', 'AYA', N'พระนครศรีอยุธยา'),
  (7, 'CITY', 'CBI', N'ชลบุรี'), (8, 'CITY', 'RYG', N'ระยอง'), (9, 'CITY', 'CMI', N'เชียงใหม่'),
  (10, 'CITY', 'PLK', N'พิษณุโลก'), (11, 'CITY', 'KKN', N'ขอนแก่น'), (12, 'CITY', 'NMA', N'นครราชสีมา'),
  (13, 'CITY', 'UDN', N'อุดรธานี'), (14, 'CITY', 'SNI', N'สุราษฎร์ธานี'), (15, 'CITY', 'SKA', N'สงขลา'),
  (16, 'CITY', 'PKT', N'ภูเก็ต'),
  (17, 'DEPARTMENT', 'SALES', N'ฝ่ายขาย'), (18, 'DEPARTMENT', 'TELE', N'ฝ่ายขายทางโทรศัพท์'),
  (19, 'PRICETYPE', '01', N'ราคาขายปลีก'), (20, 'PRICETYPE', '02', N'ราคาขายส่ง'),
  (21, 'PRICETYPE', '03', N'ราคาสมาชิก'), (22, 'PRICETYPE', '04', N'ราคาตัวแทนจำหน่าย'),
  (23, 'PGROUP', 'DRINK', N'เครื่องดื่ม'), (24, 'PGROUP', 'SNACK', N'ขนมขบเคี้ยวและลูกอม'),
  (25, 'PGROUP', 'FOOD', N'อาหารแห้งและเครื่องปรุง'), (26, 'PGROUP', 'HOUSE', N'ของใช้ในบ้าน'),
  (27, 'PGROUP', 'PERSONAL', N'ของใช้ส่วนตัว'), (28, 'PGROUP', 'STATIONERY', N'เครื่องเขียน'),
  (29, 'PGROUP', 'HARDWARE', N'ฮาร์ดแวร์และเครื่องมือช่าง'),
  (30, 'PTYPE', 'CONSUME', N'สินค้าอุปโภคบริโภค - อาหารและเครื่องดื่ม'), (31, 'PTYPE', 'USE', N'สินค้าอุปโภค - ของใช้'),
  (32, 'PTYPE', 'OFFICE', N'เครื่องเขียนและอุปกรณ์สำนักงาน'), (33, 'PTYPE', 'TOOL', N'วัสดุก่อสร้างและเครื่องมือช่าง'),
  (34, 'TRANSPORT', 'OWN', N'รถบริษัท')
Set IDENTITY_INSERT Misc Off
Insert Into Tax (Code, Description, Rate) Values ('V7', N'ภาษีมูลค่าเพิ่ม 7%', 7), ('V0', N'สินค้ายกเว้นภาษีมูลค่าเพิ่ม', 0)
Create Table GenGroup (G Int Not Null Primary Key, Letter Char(1) Not Null, PGroup Int Not Null, PType Int Not Null,
  SizeStep Int Not Null, SizeBefore NVarChar(10) Not Null, SizeAfter NVarChar(10) Not Null,
  SizeBeforeEng VarChar(10) Not Null, SizeAfterEng VarChar(10) Not Null, PriceScale Decimal(9,2) Not Null)
Insert Into GenGroup Values
  (0, 'D', 23, 30, 50, N'', N' มล.', '', ' ml', 1.0),
  (1, 'S', 24, 30, 20, N'', N' กรัม', '', ' g', 1.0),
  (2, 'F', 25, 30, 100, N'', N' กรัม', '', ' g', 1.5),
  (3, 'H', 26, 31, 100, N'', N' มล.', '', ' ml', 2.0),
  (4, 'P', 27, 31, 50, N'', N' มล.', '', ' ml', 2.0),
  (5, 'T', 28, 32, 1, N'เบอร์ ', N'', 'No. ', '', 1.0),
  (6, 'W', 29, 33, 2, N'', N' มม.', '', ' mm', 4.0)
Create Table GenWord (Kind Int Not Null, Grp Int Not Null, Idx Int Not Null, Word NVarChar(40) Not Null,
  WordEng VarChar(40) Not Null, Constraint PK_GenWord Primary Key (Kind, Grp, Idx))
{Words}
Create Table GenPack (Grp Int Not Null, Variant Int Not Null, Seq Int Not Null, UnitName NVarChar(20) Not Null,
  Fraction Int Not Null, Constraint PK_GenPack Primary Key (Grp, Variant, Seq))
{Packs}
Create Table GenPriceType (Seq Int Not Null Primary Key, Id Int Not Null, Factor Decimal(9,2) Not Null)
Insert Into GenPriceType Values (1, 19, 1.00), (2, 20, 0.90), (3, 21, 0.95), (4, 22, 0.85)
Create Table GenProduct (N Int Not Null Constraint PK_GenProduct Primary Key, Grp Int Not Null, Variant Int Not Null,
  StockSeq Int Not Null, R Int Not Null, R2 Int Not Null, Price Decimal(18,2) Not Null)
Insert Into GenProduct (N, Grp, Variant, StockSeq, R, R2, Price)
Select G.N, G.R % 7, (G.R2 / 1000) % 3, Case When (G.R2 / 1000) % 3 = 2 Then 1 Else 2 End, G.R, G.R2,
       Round((2 + (G.R2 % 400) * 0.25) * S.PriceScale, 2)
From GenNumber G Inner Join GenGroup S On S.G = G.R % 7
Where G.N <= {Products}
)")},
        {QStringLiteral("warehouses"), QStringLiteral("Warehouse"), QStringLiteral(R"(
Set IDENTITY_INSERT Warehouse On
Insert Into Warehouse (Id, Code, Name, IsLocation, Blocked, FlagIn, FlagOut)
Select N,
       Case When N = 1 Then 'MAIN' When N = {Warehouses} Then 'RMA' Else 'WH' + Right('000' + Convert(VarChar(4), N), 3) End,
       Case When N = 1 Then N'คลังสินค้าหลัก' When N = {Warehouses} Then N'คลังสินค้ารอเคลมและส่งคืน'
            Else N'คลังสาขาที่ ' + Convert(NVarChar(4), N) End,
       'N', 'N', 'Y', 'Y'
From GenNumber Where N <= {Warehouses}
Set IDENTITY_INSERT Warehouse Off
)")},
        {QStringLiteral("sales persons and vendors"), QString(), QStringLiteral(R"(
Set IDENTITY_INSERT Salesman On
Insert Into Salesman (Id, Code, Name, Surname, SalesName, Department, Status, StartDate, Province)
Select G.N, 'S' + Right('00' + Convert(VarChar(3), G.N), 2), F.Word, L.Word, F.Word + N' ' + L.Word, 17 + G.N % 2,
       Case When G.N = 20 Then 'N' Else 'Y' End, DateAdd(day, -(G.R % 3000), {Today}), 1 + G.R % 16
From GenNumber G
Inner Join GenWord F On F.Kind = 7 And F.Grp = 0 And F.Idx = (G.N - 1) % 10
Inner Join GenWord L On L.Kind = 8 And L.Grp = 0 And L.Idx = (G.N * 3 + G.R) % 10
Where G.N <= 20
Set IDENTITY_INSERT Salesman Off
Set IDENTITY_INSERT Vendor On
Insert Into Vendor (Id, Code, Name, Address1, Address2, Address3, PhoneNo, Blocked)
Select G.N, 'V' + Right('000' + Convert(VarChar(4), G.N), 3), N'บริษัท ' + B.Word + N' ' + T.Word + N' จำกัด',
       Convert(NVarChar(6), 1 + G.R % 500) + N' ถนน' + R.Word, N'', N'',
       '02-' + Right('0000000' + Convert(VarChar(8), G.R2 % 10000000), 7), Case When G.N = 50 Then 'Y' Else 'N' End
From GenNumber G
Inner Join GenWord B On B.Kind = 2 And B.Grp = 0 And B.Idx = (G.N - 1) % 20
Inner Join GenWord T On T.Kind = 9 And T.Grp = 0 And T.Idx = G.R % 5
Inner Join GenWord R On R.Kind = 10 And R.Grp = 0 And R.Idx = G.R2 % 10
Where G.N <= 50
Set IDENTITY_INSERT Vendor Off
)")},
        {QStringLiteral("customers"), QStringLiteral("Customer"), QStringLiteral(R"(
Set IDENTITY_INSERT Customer On
Insert Into Customer (Id, Code, Name, NameEng, Address1, Address2, Address3, Province, ZipCode, PhoneNo, Salesman,
  PriceType, CreditDays, CreditLimit, Blocked)
Select G.N, 'C' + Right('000000' + Convert(VarChar(7), G.N), 6),
       Case When G.N = 1 Then N'ลูกค้าเงินสด' Else P.Word + W.Word + S.Word End,
       Case When G.N = 1 Then 'Cash Customer' Else W.WordEng + ' ' + P.WordEng End,
       Convert(NVarChar(6), 1 + G.R % 999) + N'/' + Convert(NVarChar(4), 1 + G.R2 % 99) + N' ถนน' + R.Word, N'', N'',
       1 + G.R2 % 16, Convert(VarChar(5), 10110 + (G.R % 80) * 1000),
       '0' + Convert(VarChar(1), 2 + G.R % 7) + '-' + Right('0000000' + Convert(VarChar(8), G.R2 % 10000000), 7),
       1 + G.R % 20, 19 + G.R2 % 4, (G.R % 4) * 15, ((G.R2 % 50) + 1) * 10000,
       Case When G.R % 50 = 0 And G.N > 1 Then 'Y' Else 'N' End
From GenNumber G
Inner Join GenWord W On W.Kind = 4 And W.Grp = 0 And W.Idx = (G.R / 10) % 20
Inner Join GenWord P On P.Kind = 5 And P.Grp = 0 And P.Idx = (G.R2 / 10) % 10
Inner Join GenWord S On S.Kind = 6 And S.Grp = 0 And S.Idx = (G.R2 / 10) % 10
Inner Join GenWord R On R.Kind = 10 And R.Grp = 0 And R.Idx = G.R % 10
Where G.N <= {Customers}
Set IDENTITY_INSERT Customer Off
)")},
        {QStringLiteral("products"), QStringLiteral("Product"), QStringLiteral(R"(
Set IDENTITY_INSERT Product On
-- About one product in twelve is a service, a material or a raw material, as in a
-- real catalogue: the searches that leave finished goods out must find something.
Insert Into Product (Id, Code, ThaiName, EngName, PosName, ProductType, PType, PGroup, TaxCode, DefaultWh, PriceIE,
  PrintFrac, UseSerial, LotControl, PriceByVolumn, Negative, Blocked, MasterCode, ProductFree,
  CheckSerialPurc, CheckSerialSale, CheckSerialStock, CheckSerialOnhand)
Select G.N, S.Letter + Right('000000' + Convert(VarChar(7), G.N), 6),
       W.Word + N' ' + B.Word + N' ' + V.Word + N' ' + S.SizeBefore
         + Convert(NVarChar(10), S.SizeStep * (1 + (G.R2 / 7) % 12)) + S.SizeAfter,
       B.WordEng + ' ' + W.WordEng + ' ' + V.WordEng + ' ' + S.SizeBeforeEng
         + Convert(VarChar(10), S.SizeStep * (1 + (G.R2 / 7) % 12)) + S.SizeAfterEng,
       W.Word + N' ' + B.Word,
       Case G.R2 % 50 When 0 Then 'S' When 1 Then 'M' When 2 Then 'R' When 3 Then 'R' Else 'P' End, S.PType, S.PGroup, Case When G.Grp = 2 And G.R % 5 = 0 Then 2 Else 1 End, 1, 'I',
       'N', 'N', 'N', 'N', Case When G.R % 9 = 0 Then 'Y' Else 'N' End, Case When G.R % 97 = 0 Then 'Y' Else 'N' End,
       'N', 'N', 'N', 'N', 'N', 'N'
From GenProduct G
Inner Join GenGroup S On S.G = G.Grp
Inner Join GenWord W On W.Kind = 1 And W.Grp = G.Grp And W.Idx = (G.R / 7) % 10
Inner Join GenWord B On B.Kind = 2 And B.Grp = 0 And B.Idx = (G.R / 70) % 20
Inner Join GenWord V On V.Kind = 3 And V.Grp = 0 And V.Idx = (G.R / 1400) % 10
Set IDENTITY_INSERT Product Off
)")},
        {QStringLiteral("units"), QStringLiteral("ProductUnits"), QStringLiteral(R"(
Set IDENTITY_INSERT ProductUnits On
Insert Into ProductUnits (Id, Product, UnitName, UnitDesc, Fraction, BarCode, PurcPrice, LabourCost, SaleFlag, PurcFlag,
  StockUnitFlag, SmallUnitFlag)
Select (G.N - 1) * 3 + K.Seq, G.N, K.UnitName,
       Case When K.Fraction = 1 Then Null Else N'บรรจุ ' + Convert(NVarChar(10), K.Fraction) + N' ' + S.UnitName End,
       K.Fraction, {Ean}, Round(G.Price * K.Fraction * 0.72, 2), 0, 'Y',
       Case When K.Seq >= G.StockSeq Then 'Y' Else 'N' End,
       Case When K.Seq = G.StockSeq Then 'Y' Else 'N' End, Case When K.Seq = 1 Then 'Y' Else 'N' End
From GenProduct G
Inner Join GenPack K On K.Grp = G.Grp And K.Variant = G.Variant
Inner Join GenPack S On S.Grp = G.Grp And S.Variant = G.Variant And S.Seq = 1
Set IDENTITY_INSERT ProductUnits Off
)")},
        {QStringLiteral("prices"), QStringLiteral("ProductPrice"), QStringLiteral(R"(
Set IDENTITY_INSERT ProductPrice On
Insert Into ProductPrice (Id, Product, ProductUnits, PriceType, Price)
Select (U.Id - 1) * 4 + T.Seq, U.Product, U.Id, T.Id,
       Case When U.Fraction = 1 Then Round(G.Price * T.Factor, 2)
            Else Round(G.Price * U.Fraction * (103 - 3 * (U.Id - (U.Product - 1) * 3)) / 100.0 * T.Factor, 0) End
From ProductUnits U
Inner Join GenProduct G On G.N = U.Product
Cross Join GenPriceType T
Set IDENTITY_INSERT ProductPrice Off
)")},
        // Every product is stocked in MAIN and in about ten others (fewer
        // where there are few warehouses: 5 to 30 in a hundred of them),
        // spread evenly over the warehouses from a start of its own; product
        // 1 is stocked everywhere, the worst case of the on-hand panel. The
        // same warehouses every year. About one row in twenty is short, a few
        // are zero, a third of the rest hold loose small units.
        {QStringLiteral("stock"), QStringLiteral("productonhand"), QStringLiteral(R"(
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity)
Select X.P, X.U, X.W, X.Yr,
       Case When X.H / 100 % 1000 < 50 Then -(X.F * (X.H / 100000 % 5 + 1)) - Case When X.F > 1 Then X.H % X.F Else 0 End
            When X.H / 100 % 1000 < 65 Then 0
            Else X.F * (X.H / 100000 % 60 + 1) + Case When X.H / 100 % 3 = 0 And X.F > 1 Then X.H / 7 % X.F Else 0 End
       End
From (
  Select S.P, S.U, S.W, Year(GetDate()) + 1 - Y.N Yr, S.F,
         ((S.R * 31 + S.W * 7919 + Y.N * 104729) % 999983 * 613 + S.R2 + S.W) % 1000003 H
  From (
    Select O.N P, O.U, O.F, O.R, O.R2,
           Case When J.N = 1 Then 1 When O.N = 1 Then J.N
                Else 2 + (O.R2 + (J.N - 2) * {Stride}) % ({Warehouses} - 1) End W
    From (
      Select G.N, (G.N - 1) * 3 + G.StockSeq U, K.Fraction F, G.R, G.R2,
             Case When G.N = 1 Then {Warehouses} - 1
                  When 6 + G.R2 % 7 > 1 + ({Warehouses} - 1) * (5 + G.R2 % 26) / 100
                  Then 1 + ({Warehouses} - 1) * (5 + G.R2 % 26) / 100
                  Else 6 + G.R2 % 7 End Others
      From GenProduct G
      Inner Join GenPack K On K.Grp = G.Grp And K.Variant = G.Variant And K.Seq = G.StockSeq
    ) O
    Inner Join GenNumber J On J.N <= 1 + Case When O.Others < {Warehouses} - 1 Then O.Others Else {Warehouses} - 1 End
  ) S
  Inner Join GenNumber Y On Y.N <= {Years}
) X
Update Product Set Negative = 'Y' Where Id In (Select Product From productonhand Where Quantity < 0)
)")},
        {QStringLiteral("goods receipts"), QStringLiteral("MrDt"), QStringLiteral(R"(
Set IDENTITY_INSERT MrHd On
Insert Into MrHd (Id, MrNo, MrDate, Vendor, Warehouse, Delflag)
Select N, 'MR' + Right('00000000' + Convert(VarChar(9), N), 8),
       DateAdd(minute, 540 + R % 480, DateAdd(day, -(R2 % {Days}), {Today})), 1 + R % 50, 1,
       Case When R % 50 = 0 Then 'Y' Else 'N' End
From GenNumber Where N <= {MrHeaders}
Set IDENTITY_INSERT MrHd Off
Insert Into MrDt (MrHd, Product, ProductUnits, Quantity, Fraction, Price, Total)
Select (G.N - 1) / 10 + 1, G.N, U.Id, 1 + G.R2 % 20, U.Fraction, U.PurcPrice, (1 + G.R2 % 20) * U.PurcPrice
From GenProduct G Inner Join ProductUnits U On U.Id = (G.N - 1) * 3 + G.StockSeq
Where G.R % 5 <> 0
)")},
        {QStringLiteral("credit invoices"), QStringLiteral("IvDt"), QStringLiteral(R"(
Set IDENTITY_INSERT IvHd On
Insert Into IvHd (Id, IvNo, IvDate, IvType, Customer, Salesman, Warehouse, Transportation, NotCutStock, Delflag, Clear)
Select N, 'IV' + Right('00000000' + Convert(VarChar(9), N), 8),
       DateAdd(minute, 480 + R % 600, DateAdd(day, -(R2 % {Days}), {Today})), 'N', 1 + R % {Customers}, 1 + R2 % 20,
       1 + (R / 7) % {Warehouses}, 34, 'N', Case When R % 40 = 0 Then 'Y' Else 'N' End,
       Case When R2 % 3 = 0 Then 'N' Else 'Y' End
From GenNumber Where N <= {IvHeaders}
Set IDENTITY_INSERT IvHd Off
Insert Into IvDt (IvHd, Product, ProductUnits, Quantity, Fraction, Price, Total)
Select X.Hd, X.P, U.Id, X.Q, U.Fraction, PP.Price, X.Q * PP.Price
From (Select (N - 1) / 4 + 1 Hd, 1 + R % {Products} P, 1 + R2 % 3 Seq, 1 + (R2 / 3) % 24 Q
      From GenNumber Where N <= {IvLines}) X
Inner Join ProductUnits U On U.Id = (X.P - 1) * 3 + X.Seq
Inner Join ProductPrice PP On PP.Id = (U.Id - 1) * 4 + 1
)")},
        {QStringLiteral("point-of-sale bills"), QStringLiteral("PosDt"), QStringLiteral(R"(
Set IDENTITY_INSERT PosHd On
Insert Into PosHd (Id, PosNo, PosDate, Customer, Delflag)
Select N, 'PS' + Right('00000000' + Convert(VarChar(9), N), 8),
       DateAdd(minute, 480 + R2 % 720, DateAdd(day, -(R % {Days}), {Today})),
       Case When R % 5 = 0 Then 1 + R2 % {Customers} Else 1 End, Case When R2 % 60 = 0 Then 'Y' Else 'N' End
From GenNumber Where N <= {PosHeaders}
Set IDENTITY_INSERT PosHd Off
Insert Into PosDt (PosHd, Product, ProductUnits, Quantity, Price, Total)
Select X.Hd, X.P, U.Id, X.Q, PP.Price, X.Q * PP.Price
From (Select (N - 1) / 3 + 1 Hd, 1 + R2 % {Products} P, Case When R % 4 = 0 Then 2 Else 1 End Seq, 1 + (R / 3) % 6 Q
      From GenNumber Where N <= {PosLines}) X
Inner Join ProductUnits U On U.Id = (X.P - 1) * 3 + X.Seq
Inner Join ProductPrice PP On PP.Id = (U.Id - 1) * 4 + 1
)")},
        {QStringLiteral("second point-of-sale bills"), QStringLiteral("PosDetail"), QStringLiteral(R"(
Set IDENTITY_INSERT PosHeader On
Insert Into PosHeader (Id, PosNo, PosDate, Customer, Delflag)
Select N, 'PB' + Right('00000000' + Convert(VarChar(9), N), 8),
       DateAdd(minute, 480 + R % 720, DateAdd(day, -((R + R2) % {Days}), {Today})),
       Case When R2 % 7 = 0 Then 1 + R % {Customers} Else 1 End, Case When R % 60 = 1 Then 'Y' Else 'N' End
From GenNumber Where N <= {PosbHeaders}
Set IDENTITY_INSERT PosHeader Off
Insert Into PosDetail (PosHeader, Product, ProductUnits, Quantity, Price, Total)
Select X.Hd, X.P, U.Id, X.Q, PP.Price, X.Q * PP.Price
From (Select (N - 1) / 3 + 1 Hd, 1 + (R + R2) % {Products} P, Case When R2 % 5 = 0 Then 2 Else 1 End Seq,
             1 + (R2 / 3) % 6 Q
      From GenNumber Where N <= {PosbLines}) X
Inner Join ProductUnits U On U.Id = (X.P - 1) * 3 + X.Seq
Inner Join ProductPrice PP On PP.Id = (U.Id - 1) * 4 + 1
)")},
        // One product in twenty has a customer's own price (some only a
        // discount), one in fifty a promotion for everybody running today.
        {QStringLiteral("customer prices and promotions"), QStringLiteral("customerproductprice"), QStringLiteral(R"(
Insert Into customerproductprice (Customer, Product, ProductUnits, Price, Quantity, Discount)
Select 1 + G.R % {Customers}, G.N, U.Id, Case When G.R % 7 = 0 Then 0 Else Round(PP.Price * 0.93, 2) End, 1,
       Case When G.R % 7 = 0 Then '5%' Else Null End
From GenProduct G
Inner Join ProductUnits U On U.Id = (G.N - 1) * 3 + G.StockSeq
Inner Join ProductPrice PP On PP.Id = (U.Id - 1) * 4 + 1
Where G.R2 % 20 = 0
Insert Into promotion_dt (Product, ProductUnits, PriceType, Customer, StartDate, StopDate, Price, DiscPercent)
Select G.N, U.Id, 19, 0, DateAdd(day, -(G.R % 7), {Today}), DateAdd(day, G.R2 % 14, {Today}), Round(PP.Price * 0.9, 2), Null
From GenProduct G
Inner Join ProductUnits U On U.Id = (G.N - 1) * 3 + 1
Inner Join ProductPrice PP On PP.Id = (U.Id - 1) * 4 + 1
Where G.R2 % 50 = 1
)")},
        {QStringLiteral("clean up"), QString(), QStringLiteral(R"(
Drop Table GenProduct
Drop Table GenPriceType
Drop Table GenPack
Drop Table GenWord
Drop Table GenGroup
Drop Table GenNumber
)")},
    };

    out.write(line(QStringLiteral("Generating %1 in %2: %3 products, %4 warehouses, %5 years of stock, %6 history "
                                  "lines, %7 customers, seed %8")
                       .arg(name, folder, number(products), number(warehouses))
                       .arg(request.years)
                       .arg(number(lines), number(customers))
                       .arg(request.seed)));

    // What this run made, removed again if it fails.
    QStringList madeDatabases;
    auto removeMade = [&] {
        for (const QString& database : std::as_const(madeDatabases)) {
            const QString file = db::sqlite::findDatabaseFile(folder, database);
            if (file.isEmpty())
                continue;
            for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
                QFile::remove(file + suffix);
        }
    };
    // Schema and registration are a step each, besides the filling steps.
    Progress progress(err, Progress::onTerminal(err));
    progress.start(QStringLiteral("schema"), qint64(std::size(steps)) + 2);
    auto report = [&out, &progress](const QString& what, qint64 ms, const QString& rows = QString()) {
        // The line goes where the bar was; the bar follows under it.
        progress.clearLine();
        out.write(line(QStringLiteral("  %1 %2 s%3")
                           .arg(what, -32)
                           .arg(ms / 1000.0, 6, 'f', 1)
                           .arg(rows.isEmpty() ? QString() : QStringLiteral("  %1 rows").arg(rows, 11))));
        progress.advance();
    };

    try {
        QElapsedTimer clock;
        clock.start();
        if (!QDir().mkpath(folder))
            throw db::DbError(QStringLiteral("Cannot make the folder %1").arg(folder));
        db::sqlite::createDatabase(folder, name);
        madeDatabases.append(name);
        if (!configExisted) {
            db::sqlite::createDatabase(folder, config);
            madeDatabases.append(config);
        }
        const QString pictureFolder = QDir(folder).filePath(QStringLiteral("pictures"));
        QDir().mkpath(pictureFolder);

        const auto business = site::openDatabase(folder, name);
        site::runBuiltInScript(*business, QStringLiteral("business.sql"));
        site::runBuiltInScript(*business, QStringLiteral("program.sql"));
        db::ParamValues configRow;
        configRow.set(QStringLiteral("PicturePath"), pictureFolder);
        business->execute(QStringLiteral("Update Config Set OnhandDecimal = 2, UnitLeft = '(', UnitRight = ')', "
                                         "RunYear = Year(GetDate()), PicturePath = :PicturePath"),
                          configRow);
        report(QStringLiteral("schema"), clock.restart());

        for (const Step& step : steps) {
            progress.setLabel(step.name);
            try {
                business->execute(fill(step.sql), db::ParamValues());
            } catch (const db::DbError& e) {
                throw db::DbError(QStringLiteral("%1: %2").arg(step.name, e.message()));
            }
            const qint64 ms = clock.restart();
            QString rows;
            if (!step.table.isEmpty()) {
                const db::ResultSet r =
                    business->execute(QStringLiteral("Select Count(*) From ") + step.table, db::ParamValues());
                rows = number(r.rows.empty() ? 0 : r.rows.front().value(0).toLongLong());
            }
            report(step.name, ms, rows);
        }

        // Declared once the rows are in: each index is then built in one pass.
        site::runBuiltInScript(*business, QStringLiteral("embedded.sql"));
        report(QStringLiteral("trigram indexes"), clock.restart());

        progress.setLabel(QStringLiteral("registration"));
        {
            const auto configDb = site::openDatabase(folder, config);
            if (!configExisted)
                site::runBuiltInScript(*configDb, QStringLiteral("config.sql"));
            site::installMenuAndUsers(*configDb, {1, 2, 1, 3});
            site::CompanyRecord company;
            company.code = companyCode;
            company.nameThai = QStringLiteral("บริษัท ข้อมูลทดสอบ %1 จำกัด").arg(name);
            company.nameEng = QStringLiteral("%1 Test Data Co., Ltd.").arg(name);
            company.shortName = name;
            company.address = {QStringLiteral("1 ถนนทดสอบ"), QStringLiteral("เขตบางรัก"), QStringLiteral("กรุงเทพฯ")};
            company.province = QStringLiteral("กรุงเทพมหานคร");
            company.zip = QStringLiteral("10500");
            company.database = name;
            company.description = QStringLiteral("ข้อมูลทดสอบ %1 สินค้า").arg(number(products));
            company.picturePath = pictureFolder;
            company.defaultWarehouse = 1;
            company.defaultTax = 1;
            company.posWarehouse = 1;
            company.posTaxCode = QStringLiteral("V7");
            company.posPriceType = 19;
            site::registerCompany(*configDb, company);
        }
        const QString serverFile = QDir(folder).filePath(QStringLiteral("Server.Dat"));
        if (!QFileInfo::exists(serverFile))
            site::writeServerFile(folder);
        const QString placeholder = QDir(folder).filePath(QStringLiteral("NoPicture.Bmp"));
        if (!QFileInfo::exists(placeholder))
            site::drawNoPicture().save(placeholder, "BMP");
        report(QStringLiteral("registration"), clock.restart());
        progress.finish();
    } catch (const db::DbError& e) {
        progress.finish();
        removeMade();
        err.write(line(QStringLiteral("qel-db: generate: ") + e.message()));
        return 1;
    }

    out.write(line(QStringLiteral("Made %1 in %2 s; start the price inquiry in %3 with menu 12, user 1 and %1.")
                       .arg(name)
                       .arg(total.elapsed() / 1000.0, 0, 'f', 1)
                       .arg(folder)));
    return 0;
}

} // namespace qeldb
