// The colour bar: a fixed palette of 256 cells, 12 custom colour cells kept in
// the data directory's customclr.clr, and the fore/back colour indicator.
#pragma once

#include <QColor>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class CColorBar : public QWidget {
    Q_OBJECT
  public:
    static constexpr int PALETTE_SIZE = 256;
    static constexpr int CUSTOM_SLOTS = 12;

    // One custom slot and its 16-byte record in the custom colours file.
    struct sColorStruct {
        enum Offset : size_t { USED = 0, RESERVED = 1, COLUMN = 4, PIXEL = 8, COLOR = 12, SIZE = 16 };
        uint8_t used = 0;   // 1: the slot holds a custom colour
        int32_t column = 0; // the custom cell showing it
        QColor color{0, 0, 0};

        bool isUsed() const { return used == 1; }
        std::array<uint8_t, SIZE> toBytes() const;
        static sColorStruct fromBytes(const uint8_t* p);
    };
    using Slots = std::array<sColorStruct, CUSTOM_SLOTS>;
    static constexpr size_t FILE_SIZE = CUSTOM_SLOTS * sColorStruct::SIZE; // 192

    // What a position of the bar hits.
    struct Hit {
        enum Kind { Nothing, PaletteCell, CustomCell };
        Kind kind = Nothing;
        int index = -1; // palette index or custom slot
        int column = 0; // grid column (1..12) and row (1..23) of the hit
        int row = 0;
    };
    static Hit hitTest(int x, int y);
    // Top-left corner of a palette cell and of a custom cell (11 x 11 each).
    static QPoint paletteCellOrigin(int index);
    static QPoint customCellOrigin(int slot);
    static uint32_t defaultPaletteColor(int index);

    explicit CColorBar(QWidget* parent = nullptr, const char* name = nullptr);

    QColor& getDefaultForeColor() { return m_foreColor; }
    QColor& getDefaultBackColor() { return m_backColor; }
    const std::array<uint32_t, PALETTE_SIZE>& palette() const { return m_palette; }
    const Slots& customSlots() const { return m_slots; }

    // Saves the custom slots to the custom colours file. A failure leaves the
    // old file in place and is reported on standard error (it runs on every
    // press in the bar, so never in a box); returns false then.
    bool write();
    // Number of used records among the file's first 12, plus 1; 0 when the
    // file cannot be opened.
    int getLastIndex() const;

    // HOME + "/zedaro/customclr.clr".
    static std::string customColorsPath();
    enum class ReadResult { Missing, Unreadable, Loaded };
    // Loads whole 16-byte records, at most 12, into slots 0, 1, ...; a missing
    // or empty file reads as Missing and leaves the slots alone.
    static ReadResult readSlots(const std::string& path, Slots& table);
    // Replaces the file through a temporary file in the same folder; on failure
    // `error` gets the reason and the old file is untouched.
    static bool writeSlots(const std::string& path, const Slots& table, std::string* error = nullptr);

    // The colour dialog of a double click; an invalid colour means cancelled.
    using ColorChooser = std::function<QColor(const QColor& initial, QWidget* parent)>;
    void setColorChooser(ColorChooser chooser) { m_chooser = std::move(chooser); }

    QSize sizeHint() const override;

  signals:
    // A press chose the fore (left button) or back (right button) colour; the
    // main window passes it on to the objects selected on the canvas.
    void foreColorChanged(const QColor& color);
    void backColorChanged(const QColor& color);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void showEvent(QShowEvent*) override;

  private:
    QColor colorAt(const Hit& hit) const;

    QColor m_foreColor{255, 255, 255};
    QColor m_backColor{176, 196, 222};
    std::array<uint32_t, PALETTE_SIZE> m_palette{};
    Slots m_slots{};
    ColorChooser m_chooser;
};
