#include "objects/draw/CColorBar.h"
#include "store/Diagnostics.h"

#include "store/RecordIO.h"
#include "store/RegularFile.h"

#include <QColorDialog>
#include <QDebug>
#include <QMouseEvent>
#include <QPainter>

#include <QLoggingCategory>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcColorBar, "velmora.objects.colorbar", QtWarningMsg)

namespace {

// The fixed palette, 0xRRGGBB, in cell order.
const uint32_t kPalette[CColorBar::PALETTE_SIZE] = {
    0x000000, 0x800080, 0x800000, 0x808000, 0x008000, 0x008080, 0x000080, 0xC0C0C0, 0xC0DCC0, 0xF0CAA6,
    0x808080, 0xFF00FF, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF, 0xFFFFFF, 0xEFEFEF, 0xA4A0A0,
    0xD0FFFF, 0xB6C0FF, 0x81C2FF, 0x81C2FF, 0x3F9FDF, 0x18BFFF, 0x18BFFF, 0x0081FF, 0x00A1A1, 0x106280,
    0x004282, 0x004242, 0xDCE1FF, 0xB6C0FF, 0x9F9FFF, 0x719FFF, 0x4181FF, 0x0062E2, 0x0062E2, 0x0041BF,
    0x0041BF, 0x003FA1, 0x004260, 0x000040, 0xDCE1FF, 0xA99FFF, 0x8080FF, 0x8080FF, 0x4040FF, 0x0000FF,
    0x0000FF, 0x0000E1, 0x0000C2, 0x000080, 0x000060, 0x000040, 0xDCE1FF, 0xA99FFF, 0x8080FF, 0x8860FF,
    0x7040FF, 0x4100FF, 0x4100FF, 0x4100C2, 0x4100C2, 0x0F009F, 0x000060, 0x120062, 0xFFE0FF, 0xFF9FFF,
    0xC282FF, 0xAF60FF, 0xA040FF, 0x8000FF, 0x8000FF, 0x7F00DF, 0x7F00C0, 0x800080, 0x420062, 0x120062,
    0xFFE0FF, 0xFF9FFF, 0xFF7FFF, 0xFF5FFF, 0xF942FF, 0xFF00FF, 0xFF00FF, 0xE000E0, 0x9F00A1, 0x9F00A1,
    0x800080, 0x5F0040, 0xFFE0FF, 0xFF9FC2, 0xFF82C0, 0xFF62C0, 0xFF40C1, 0xFF00C2, 0xFF00C2, 0xFF0081,
    0xA10060, 0xA10060, 0x800040, 0x62001F, 0xFFE0E0, 0xFF9FC2, 0xFF9F9F, 0xFF60A1, 0xFF4282, 0xFF0042,
    0xFF0042, 0xC20041, 0xC20041, 0xA10022, 0x800040, 0x610000, 0xFFE0E0, 0xFF9F9F, 0xFF8080, 0xFF8161,
    0xFF4141, 0xE21F00, 0xFF0000, 0xE00000, 0xA10000, 0xA10000, 0x610000, 0x610000, 0xFFE0E0, 0xF0CAA6,
    0xFF9F9F, 0xFF8161, 0xFF8141, 0xE16200, 0xE16200, 0xC24100, 0xC24100, 0x802F00, 0x602000, 0x4F2000,
    0xFFFFE0, 0xF0CAA6, 0xFFC082, 0xFFC082, 0xEF9152, 0xFF8121, 0xFFBF00, 0xE0A100, 0xBF8200, 0xA06000,
    0x604110, 0x4F2000, 0xFFFFE0, 0xFFFFA4, 0xFFFF7F, 0xFFFF7F, 0xFFFF42, 0xFFFF00, 0xFFFF00, 0xE0E000,
    0xC2C100, 0x829F00, 0x626000, 0x234000, 0xFFFFE0, 0xD5FFC1, 0xCAFF82, 0xCAFF82, 0xC7FF42, 0xB2FF00,
    0xB2FF00, 0x96C100, 0x829F00, 0x508200, 0x3C6000, 0x234000, 0xDFFFE0, 0xD5FFC1, 0xCAFF82, 0x7FFF7F,
    0x3FDF3F, 0x32FF41, 0x32FF41, 0x32FF41, 0x508200, 0x00A000, 0x3C6000, 0x004200, 0xDFFFE0, 0xD5FFC1,
    0x7FFF7F, 0x7FFF7F, 0x32FF41, 0x32FF41, 0x00FF00, 0x00E100, 0x00C200, 0x00A000, 0x008000, 0x004200,
    0xDFFFE0, 0x91FFC2, 0x91FFC2, 0x7FFF7F, 0x3FDF5F, 0x32FF41, 0x32FF41, 0x3FDF3F, 0x00C200, 0x00A000,
    0x1F623F, 0x004200, 0xD0FFFF, 0xBFFFE0, 0x91FFC2, 0x74E0E0, 0x3FDF9F, 0x00E1E1, 0x00E1E1, 0x00BFBF,
    0x00A1A1, 0x008080, 0x1F623F, 0x004242, 0xD0FFFF, 0xC2FFFF, 0x7FFFFF, 0x7FFFFF, 0x35FFFF, 0x00FFFF,
    0x00FFFF, 0x00E1E1, 0x00BFBF, 0x00A1A1, 0x006262, 0x004242, 0xEFEFEF, 0xE1E1E1, 0xE1E1E1, 0xC0C0C0,
    0xC0C0C0, 0xB2B2B2, 0xA4A0A0, 0xA4A0A0, 0xA4A0A0, 0x808080, 0x808080, 0x5F5F5F, 0x5F5F5F, 0x5F5F5F,
    0x2F2F2F, 0x2F2F2F, 0x2F2F2F, 0x1F2000, 0x1F2000, 0x000000,
};

constexpr int PITCH = 12;     // cell pitch in both directions
constexpr int CELL = 11;      // cell edge
constexpr int CUSTOM_Y = 266; // top of the custom row
constexpr int CUSTOM_ROW = 23;

// Cells per palette row: 10 in rows 1-2 (the indicator sits beside them),
// 12 in rows 3-21, 8 in row 22.
int cellsInRow(int row) {
    if (row == 1 || row == 2)
        return 10;
    if (row >= 3 && row <= 21)
        return 12;
    if (row == 22)
        return 8;
    return 0;
}

const QColor kBevelDark(138, 138, 138);
const QColor kBevelLight(214, 214, 214);

// A cell filled with its colour and a sunken bevel on its own border.
void drawCell(QPainter& p, int x, int y, const QColor& fill) {
    p.fillRect(x, y, CELL, CELL, fill);
    p.setPen(Qt::black);
    p.drawLine(x, y, x + 9, y);
    p.drawLine(x, y, x, y + 9);
    p.setPen(kBevelDark);
    p.drawLine(x + 1, y + 1, x + 8, y + 1);
    p.drawLine(x + 1, y + 1, x + 1, y + 8);
    p.setPen(kBevelLight);
    p.drawLine(x + 1, y + 9, x + 9, y + 9);
    p.drawLine(x + 9, y + 1, x + 9, y + 9);
    p.setPen(Qt::white);
    p.drawLine(x, y + 10, x + 10, y + 10);
    p.drawLine(x + 10, y, x + 10, y + 10);
}

// An 8 x 8 indicator square in a sunken frame.
void drawIndicator(QPainter& p, int x, int y, const QColor& fill) {
    p.setPen(Qt::black);
    p.drawLine(x - 2, y - 2, x + 8, y - 2);
    p.drawLine(x - 2, y - 2, x - 2, y + 8);
    p.setPen(kBevelDark);
    p.drawLine(x - 1, y - 1, x + 7, y - 1);
    p.drawLine(x - 1, y - 1, x - 1, y + 7);
    p.setPen(kBevelLight);
    p.drawLine(x - 1, y + 8, x + 8, y + 8);
    p.drawLine(x + 8, y - 1, x + 8, y + 8);
    p.setPen(Qt::white);
    p.drawLine(x - 2, y + 9, x + 9, y + 9);
    p.drawLine(x + 9, y - 2, x + 9, y + 9);
    p.fillRect(x, y, 8, 8, fill);
}

off_t fileSize(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return -1;
    return st.st_size;
}

} // namespace

std::array<uint8_t, CColorBar::sColorStruct::SIZE> CColorBar::sColorStruct::toBytes() const {
    std::array<uint8_t, SIZE> out{};
    rec::RecordWriter w(out);
    w.u8(USED, used);
    w.i32(COLUMN, column);
    const uint32_t rgb = color.rgb() & 0x00FFFFFFu;
    // The pixel word is what a 24-bit TrueColor screen would hold for the colour.
    w.u32(PIXEL, rgb);
    w.u32(COLOR, rgb);
    return out;
}

CColorBar::sColorStruct CColorBar::sColorStruct::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    sColorStruct s;
    s.used = r.u8(USED);
    s.column = r.i32(COLUMN);
    // The top byte carried the old toolkit's colour state; only RGB counts.
    s.color = QColor::fromRgb(r.u32(COLOR) & 0x00FFFFFFu);
    return s;
}

CColorBar::Hit CColorBar::hitTest(int x, int y) {
    const int dx = 156 - x;
    const int dy = 288 - y;
    const int column = 12 - dx / 12;
    const int row = 24 - dy / 12;
    Hit hit;
    // Remainders keep the sign of the dividend, so positions right of or
    // below the grid never pass the > 3 tests.
    if (column <= 0 || row <= 0 || dx % 12 <= 3 || dy % 12 <= 3)
        return hit;
    if (row <= 22) {
        if (column > cellsInRow(row))
            return hit;
        hit.kind = Hit::PaletteCell;
        if (row <= 2)
            hit.index = 10 * (row - 1) + column - 1;
        else if (row <= 21)
            hit.index = 12 * (row - 1) + column - 5;
        else
            hit.index = 8 * (row - 1) + column + 79;
    } else if (row == CUSTOM_ROW) {
        hit.kind = Hit::CustomCell;
        hit.index = column - 1;
    } else {
        // Row 24 is the empty strip below the custom cells: pressing there must
        // not hand the current colour to the selected objects again.
        return hit;
    }
    hit.column = column;
    hit.row = row;
    return hit;
}

QPoint CColorBar::paletteCellOrigin(int index) {
    int row, column;
    if (index < 20) {
        row = index / 10 + 1;
        column = index % 10 + 1;
    } else if (index < 248) {
        row = (index - 20) / 12 + 3;
        column = (index - 20) % 12 + 1;
    } else {
        row = 22;
        column = index - 248 + 1;
    }
    return {PITCH * column, PITCH * (row - 1)};
}

QPoint CColorBar::customCellOrigin(int slot) {
    return {PITCH * (slot + 1), CUSTOM_Y};
}

uint32_t CColorBar::defaultPaletteColor(int index) {
    return index >= 0 && index < PALETTE_SIZE ? kPalette[index] : 0;
}

CColorBar::CColorBar(QWidget* parent, const char* name) : QWidget(parent) {
    if (name)
        setObjectName(QString::fromLatin1(name));
    setWindowTitle("Color Bar");
    for (int i = 0; i < PALETTE_SIZE; ++i)
        m_palette[i] = kPalette[i];
    setMinimumSize(sizeHint());

    if (readSlots(customColorsPath(), m_slots) == ReadResult::Unreadable) {
        const int err = errno;
        diag::print("Customising Failed: %s\n", strerror(err));
    }
}

QSize CColorBar::sizeHint() const {
    return {PITCH * 13, CUSTOM_Y + CELL + 1};
}

std::string CColorBar::customColorsPath() {
    const char* home = getenv("HOME");
    return std::string(home ? home : "") + "/zedaro/customclr.clr";
}

CColorBar::ReadResult CColorBar::readSlots(const std::string& path, Slots& table) {
    if (fileSize(path) <= 0)
        return ReadResult::Missing;
    FILE* f = regularfile::openStream(path, O_RDONLY, "rb");
    if (!f)
        return ReadResult::Unreadable;
    for (int i = 0; i < CUSTOM_SLOTS; ++i) {
        uint8_t record[sColorStruct::SIZE];
        // A record cut short is dropped whole rather than mixed into the slot.
        if (fread(record, 1, sizeof record, f) != sizeof record)
            break;
        table[i] = sColorStruct::fromBytes(record);
        // Each slot shows in its own cell whatever column the file names.
        table[i].column = i;
    }
    fclose(f);
    return ReadResult::Loaded;
}

bool CColorBar::writeSlots(const std::string& path, const Slots& table, std::string* error) {
    uint8_t data[FILE_SIZE];
    for (int i = 0; i < CUSTOM_SLOTS; ++i) {
        sColorStruct s = table[i];
        s.column = i;
        auto bytes = s.toBytes();
        std::memcpy(data + i * sColorStruct::SIZE, bytes.data(), bytes.size());
    }

    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + ": " + strerror(errno);
        return false;
    };
    // Written beside the file and renamed over it, so a failed write keeps the
    // colours saved before.
    std::string tmp = path + ".XXXXXX";
    int fd = mkstemp(tmp.data());
    if (fd < 0)
        return fail("cannot create");
    size_t done = 0;
    while (done < sizeof data) {
        ssize_t n = ::write(fd, data + done, sizeof data - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            int err = errno;
            ::close(fd);
            unlink(tmp.c_str());
            errno = err ? err : EIO;
            return fail("cannot write");
        }
        done += size_t(n);
    }
    fchmod(fd, 0644);
    if (::close(fd) != 0) {
        int err = errno;
        unlink(tmp.c_str());
        errno = err;
        return fail("cannot write");
    }
    if (rename(tmp.c_str(), path.c_str()) != 0) {
        int err = errno;
        unlink(tmp.c_str());
        errno = err;
        return fail("cannot replace");
    }
    return true;
}

bool CColorBar::write() {
    const std::string path = customColorsPath();
    std::string error;
    if (writeSlots(path, m_slots, &error))
        return true;
    diag::print("Custom colours not saved to %s (%s)\n", path.c_str(), error.c_str());
    return false;
}

int CColorBar::getLastIndex() const {
    FILE* f = regularfile::openStream(customColorsPath(), O_RDONLY, "rb");
    if (!f)
        return 0;
    int used = 0;
    for (int i = 0; i < CUSTOM_SLOTS; ++i) {
        uint8_t record[sColorStruct::SIZE];
        if (fread(record, 1, sizeof record, f) != sizeof record)
            break;
        if (record[sColorStruct::USED] == 1)
            ++used;
    }
    fclose(f);
    return used + 1;
}

QColor CColorBar::colorAt(const Hit& hit) const {
    if (hit.kind == Hit::PaletteCell)
        return QColor::fromRgb(m_palette[hit.index]);
    // An empty custom slot gives its stored colour too: black in a fresh bar.
    return m_slots[hit.index].color;
}

void CColorBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    drawIndicator(p, 142, 10, m_backColor);
    drawIndicator(p, 137, 5, m_foreColor);
    for (int i = 0; i < PALETTE_SIZE; ++i) {
        QPoint o = paletteCellOrigin(i);
        drawCell(p, o.x(), o.y(), QColor::fromRgb(m_palette[i]));
    }
    for (int i = 0; i < CUSTOM_SLOTS; ++i) {
        QPoint o = customCellOrigin(i);
        drawCell(p, o.x(), o.y(), Qt::black);
        if (m_slots[i].isUsed())
            p.fillRect(o.x() + 2, o.y() + 2, 7, 7, m_slots[i].color);
    }
}

void CColorBar::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    const Hit hit = hitTest(pos.x(), pos.y());
    if (hit.kind != Hit::Nothing) {
        if (e->button() == Qt::LeftButton) {
            m_foreColor = colorAt(hit);
            update();
            emit foreColorChanged(m_foreColor);
        } else if (e->button() == Qt::RightButton) {
            m_backColor = colorAt(hit);
            update();
            emit backColorChanged(m_backColor);
        }
    }
    write();
}

void CColorBar::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pos = e->position().toPoint();
    const Hit hit = hitTest(pos.x(), pos.y());
    if (hit.kind == Hit::Nothing)
        return;

    const QColor initial(0, 55, 65);
    QColor chosen = m_chooser ? m_chooser(initial, this) : QColorDialog::getColor(initial, this);
    if (!chosen.isValid())
        return;

    if (hit.kind == Hit::PaletteCell) {
        m_palette[hit.index] = chosen.rgb() & 0x00FFFFFFu;
    } else {
        sColorStruct& s = m_slots[hit.index];
        s.used = 1;
        s.column = hit.index;
        s.color = QColor::fromRgb(chosen.rgb() & 0x00FFFFFFu);
        qCDebug(lcColorBar, "Coordinate Values X=%d,Y=%d ", hit.column, hit.row);
        // Saved at once: a bar hidden by any other way than the View command
        // would otherwise reload the old file when shown again.
        write();
    }
    update();
}

void CColorBar::showEvent(QShowEvent* e) {
    readSlots(customColorsPath(), m_slots);
    QWidget::showEvent(e);
}
