#include "ErrorTranslation.h"

#include <utility>

QString upperAscii(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return out;
}

QString translateErrorMessage(const QString& message)
{
    // Tested in this order: the first row whose fragment occurs wins.
    static const std::pair<const char*, const char*> table[] = {
        {"is not a valid date", "ป้อนวันที่ไม่ถูกต้อง"},
        {"Cannot insert the value NULL into column 'Transportation'", "ไม่ได้ป้อนข้อมูลการขนส่ง"},
        {"Cannot insert the value NULL into column 'Price'", "กำหนดราคาไม่ครบถ้วน"},
        {"Cannot insert the value NULL into column 'Warehouse'", "ไม่ได้ป้อนข้อมูลคลัง"},
        {"Cannot insert the value NULL into column 'Customer'", "ไม่ได้ป้อนข้อมูลลูกค้า"},
        {"Cannot insert the value NULL into column 'Vendor'", "ไม่ได้ป้อนข้อมูลเจ้าหนี้"},
        {"Cannot insert the value NULL into column 'Fraction'", "ไม่ได้ป้อนข้อมูลหน่วย หรือ ข้อมูลหน่วยผิดพลาด"},
        {"Cannot insert the value NULL into column 'Salesman'", "ไม่ได้ป้อนข้อมูลพนักงานขาย"},
        {"Possible network error", "ระบบเครือข่าย หรือ คอมพิวเตอร์แม่ข่ายมีปัญหา ติดต่อเครื่องแม่ข่ายไม่ได้"},
        {"DELETE statement conflicted with COLUMN REFERENCE", "ข้อมูลที่ลบถูกอ้างโดยข้อมูลอื่น ไม่สามารถลบข้อมูลนี้ได้"},
        // The same refusal as SQL Server 2005 and later word it.
        {"DELETE statement conflicted with the REFERENCE constraint", "ข้อมูลที่ลบถูกอ้างโดยข้อมูลอื่น ไม่สามารถลบข้อมูลนี้ได้"},
        {"Printer selected is not valid", "ยังไม่ได้กำหนดเครื่องพิมพ์ หรือ เครื่องพิมพ์มีปัญหา"},
        {"Insufficient memory", "Memory หน่วยความจำของเครื่องไม่เพียงพอ"},
        {"SQL Server connection timed out", "เครื่องแม่ข่ายตัดการติดต่อ เพราะเครื่องนี้อาจเรียกข้อมูลปริมาณมากเกินไป"},
        {"Cannot insert duplicate", "ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว"},
    };
    const QString upper = upperAscii(message);
    for (const auto& [fragment, thai] : table) {
        if (upper.contains(upperAscii(QString::fromUtf8(fragment))))
            return QString::fromUtf8(thai);
    }
    return upper;
}
