#include "properties/EditPropertyBase.h"
#include "properties/PropertyEditorType.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const QString kCat = QStringLiteral("General");

void addNamed(EditPropertyBase& s, const QString& name, const QString& value = QString()) {
    s.addProp(name, value, kCat, PE_STRING, QString(), 0);
}

TEST(EditPropertyBase, FreshStoreHasOnlyAnEmptySlotZero) {
    EditPropertyBase s(true);
    EXPECT_EQ(s.getEntryCount(), 0);
    EXPECT_EQ(s.getEntryEventCount(), 0);
    EXPECT_EQ(s.getEntryValEventCount(), 0);
    EditPropertyEntry* e = s.getProp(0);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(*e, EditPropertyEntry());
    EXPECT_EQ(s.getProp(1), nullptr);
    EXPECT_EQ(s.getProp(-1), nullptr);
    EXPECT_EQ(s.eventSetCount(), 0);
    EXPECT_EQ(s.validationStringCount(), 0);
}

TEST(EditPropertyBase, MainTableSlotBounds) {
    EditPropertyBase s(false);
    addNamed(s, "Left", "1");
    addNamed(s, "Top", "2");
    addNamed(s, "Width", "3");
    ASSERT_EQ(s.getEntryCount(), 3);
    ASSERT_NE(s.getProp(3), nullptr);
    EXPECT_EQ(s.getProp(3)->name, "Width");
    EXPECT_EQ(s.getProp(3)->category, kCat);
    EXPECT_EQ(s.getProp(3)->editorType, PE_STRING);
    EXPECT_EQ(s.getProp(4), nullptr);

    s.setProp_Value(4, "x");
    s.setProp_ValueId(4, 9);
    s.setProp_Value(-1, "x");
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(s.getProp(i)->value, QString::number(i));
    EXPECT_EQ(s.getEntryCount(), 3);

    s.setProp_Value(0, "zero");
    s.setProp_ValueId(0, 7);
    EXPECT_EQ(s.getProp(0)->value, "zero");
    EXPECT_EQ(s.getProp(0)->valueId, 7);
}

struct NameCase {
    const char* label;
    QString query;
    int expectedSlot; // -1: no match
};

TEST(EditPropertyBase, LookupByNameIgnoresCaseAndScansSlotZero) {
    EditPropertyBase s(false);
    addNamed(s, "Left", "10");
    addNamed(s, "Name", "Line");
    const std::vector<NameCase> cases = {
        {"lower case", "left", 1},          {"upper case", "LEFT", 1}, {"mixed", "nAmE", 2},
        {"empty name finds slot 0", "", 0}, {"absent", "Height", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EditPropertyEntry* e = s.getProp(c.query);
        if (c.expectedSlot < 0)
            EXPECT_EQ(e, nullptr);
        else
            EXPECT_EQ(e, s.getProp(c.expectedSlot));
    }
    EXPECT_EQ(s.getPropValue("LEFT"), "10");
    EXPECT_EQ(s.getPropValue("Height"), QString());
    EXPECT_EQ(s.getPropValueId("Height"), 0);
}

TEST(EditPropertyBase, DuplicateNamesGetterTakesLowerSetterChangesAll) {
    EditPropertyBase s(false);
    addNamed(s, "Color", "a");
    addNamed(s, "Other", "b");
    addNamed(s, "COLOR", "c");
    EXPECT_EQ(s.getProp("color"), s.getProp(1));
    s.setProp_Value("Color", "red");
    s.setProp_ValueId("color", 5);
    EXPECT_EQ(s.getProp(1)->value, "red");
    EXPECT_EQ(s.getProp(3)->value, "red");
    EXPECT_EQ(s.getProp(1)->valueId, 5);
    EXPECT_EQ(s.getProp(3)->valueId, 5);
    EXPECT_EQ(s.getProp(2)->value, "b");
}

TEST(EditPropertyBase, MainTableRefusesAddsBeyondItsLastSlot) {
    EditPropertyBase s(false);
    for (int i = 1; i <= 70; ++i)
        addNamed(s, QString("P%1").arg(i));
    EXPECT_EQ(s.getEntryCount(), EditPropertyBase::MAIN_SLOTS - 1);
    EXPECT_EQ(s.getProp(63)->name, "P63");
    EXPECT_EQ(s.getProp(64), nullptr);
}

TEST(EditPropertyBase, MainEntryAddressesNeverMove) {
    EditPropertyBase s(false);
    addNamed(s, "Name");
    EditPropertyEntry* first = s.getProp(1);
    for (int i = 0; i < 20; ++i)
        addNamed(s, QString("X%1").arg(i));
    for (int set = 0; set < 10; ++set)
        s.addEventProperties(set, "E", "", "Events", PE_BOOL, "", 0);
    EXPECT_EQ(s.getProp(1), first);
    EXPECT_EQ(first->name, "Name");
}

// Which slot each add of a sequence writes, for the three kinds of set.
struct WrapCase {
    const char* label;
    int shortAdds;                  // addEventProperties before
    int longAdds;                   // addProperties
    int valAdds;                    // addValProperties
    std::vector<int> expectedSlots; // slots written by the LAST group of adds
    int expectedEventCount;
    int expectedValEventCount;
};

TEST(EditPropertyBase, CounterWrapTable) {
    const std::vector<WrapCase> cases = {
        {"four short adds", 4, 0, 0, {1, 2, 3, 1}, 1, 0},
        {"three short adds", 3, 0, 0, {1, 2, 3}, 3, 0},
        {"twelve long adds", 0, 12, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 1}, 0, 1},
        {"eleven long adds", 0, 11, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 0, 11},
        {"validation after a long build", 0, 11, 1, {1}, 0, 1},
        {"four validation adds", 0, 0, 4, {1, 2, 3, 1}, 0, 1},
        // The counter belongs to the store: an unfinished build of two long
        // adds shifts the validation build that follows it.
        {"validation build after two long adds", 0, 2, 3, {3, 1, 2}, 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EditPropertyBase s(false);
        std::vector<int> written;
        auto record = [&](int counter) { written.push_back(counter); };
        if (c.valAdds == 0 && c.longAdds == 0) {
            for (int i = 0; i < c.shortAdds; ++i) {
                s.addEventProperties(0, QString("S%1").arg(i), "", "Events", PE_BOOL, "", 0);
                record(s.getEntryEventCount());
            }
        } else if (c.valAdds == 0) {
            for (int i = 0; i < c.longAdds; ++i) {
                s.addProperties(0, QString("L%1").arg(i), "", "Events", PE_STRING, "", 0);
                record(s.getEntryValEventCount());
            }
        } else {
            for (int i = 0; i < c.longAdds; ++i)
                s.addProperties(0, "L", "", "Events", PE_STRING, "", 0);
            for (int i = 0; i < c.valAdds; ++i) {
                s.addValProperties(0, 0, QString("V%1").arg(i), "", "Events", PE_RESOURCE_FILE, "", 0);
                record(s.getEntryValEventCount());
            }
        }
        EXPECT_EQ(written, c.expectedSlots);
        EXPECT_EQ(s.getEntryEventCount(), c.expectedEventCount);
        EXPECT_EQ(s.getEntryValEventCount(), c.expectedValEventCount);
    }
}

TEST(EditPropertyBase, FourShortAddsOverwriteSlotOne) {
    EditPropertyBase s(false);
    for (const char* n : {"Transition Effect", "Transition Speed", "Exit Play", "Fourth"})
        s.addEventProperties(0, n, "", "Events", PE_TRANSITION_EFFECT, "", 0);
    EXPECT_EQ(s.getProperties(0, 1)->name, "Fourth");
    EXPECT_EQ(s.getProperties(0, 2)->name, "Transition Speed");
    EXPECT_EQ(s.getEntryEventCount(), 1);
}

TEST(EditPropertyBase, ShortAndLongScansUseTheirOwnCounters) {
    EditPropertyBase s(false);
    s.addProperties(2, "Audio File Name", "", "Events", PE_RESOURCE_FILE, "", 0);
    s.addProperties(2, "Play VLM", "", "Events", PE_FILENAME, "", 0);
    s.addProperties(2, "Open URL", "http://x", "Events", PE_STRING, "", 0);
    ASSERT_EQ(s.getEntryEventCount(), 0);
    EXPECT_EQ(s.getProperties(2, "Open URL"), nullptr);
    ASSERT_NE(s.getEventProperties(2, "open url"), nullptr);
    EXPECT_EQ(s.getEventProperties(2, "Open URL"), s.getProperties(2, 3));
    EXPECT_EQ(s.getEventPropValue(2, "Open URL"), QString()); // short scan: not found

    s.setEventPropValue(2, "Open URL", "short"); // short scan: misses slot 3
    EXPECT_EQ(s.getProperties(2, 3)->value, "http://x");
    s.setEventPropertyValue(2, "Open URL", "long"); // long scan: reaches it
    EXPECT_EQ(s.getProperties(2, 3)->value, "long");
    s.setEventPropertyValueId(2, "OPEN URL", 4);
    EXPECT_EQ(s.getProperties(2, 3)->valueId, 4);
}

TEST(EditPropertyBase, ShortSetSettersByNameAndSlot) {
    EditPropertyBase s(false);
    s.addEventProperties(1, "Transition Effect", "", "Events", PE_TRANSITION_EFFECT, "", 0);
    s.addEventProperties(1, "Transition Speed", "", "Events", PE_TRANSITION_SPEED, "", 0);
    s.addEventProperties(1, "Exit Play", "", "Events", PE_BOOL, "Yes/No", 0);
    s.setEventPropValue(1, "exit play", "Yes");
    s.setEventPropValueId(1, "Transition Speed", 3);
    s.setEventPropValue(1, 1, "Fade");
    s.setEventPropValueId(1, 1, 2);
    EXPECT_EQ(s.getEventPropValue(1, "EXIT PLAY"), "Yes");
    EXPECT_EQ(s.getEventPropData(1, "Exit Play"), "Yes/No");
    EXPECT_EQ(s.getProperties(1, 2)->valueId, 3);
    EXPECT_EQ(s.getProperties(1, 1)->value, "Fade");
    EXPECT_EQ(s.getProperties(1, 1)->valueId, 2);
    // Out-of-range positions are refused rather than written.
    s.setEventPropValue(1, 12, "x");
    s.setEventPropValue(9, 1, "x");
    EXPECT_EQ(s.getProperties(1, 12), nullptr);
    EXPECT_EQ(s.getProperties(9, 1), nullptr);
    EXPECT_EQ(s.eventSetCount(), 2);
}

TEST(EditPropertyBase, EventTableExtendsToTheAddressedSet) {
    EditPropertyBase s(false);
    s.addEventProperties(3, "A", "a", "Events", PE_BOOL, "", 0);
    s.addEventProperties(3, "B", "b", "Events", PE_BOOL, "", 0);
    s.addEventProperties(3, "C", "c", "Events", PE_BOOL, "", 0);
    ASSERT_EQ(s.eventSetCount(), 4);
    for (int set = 0; set < 3; ++set)
        for (int slot = 0; slot < structEventProp::SLOTS; ++slot)
            EXPECT_EQ(*s.getProperties(set, slot), EditPropertyEntry());
    EditPropertyEntry* c3 = s.getProperties(3, 3);
    for (const char* n : {"X", "Y", "Z"})
        s.addEventProperties(1, n, "", "Events", PE_BOOL, "", 0);
    EXPECT_EQ(s.eventSetCount(), 4);
    EXPECT_EQ(s.getProperties(3, 1)->name, "A");
    EXPECT_EQ(s.getProperties(3, 3), c3);
    EXPECT_EQ(c3->name, "C");
}

TEST(EditPropertyBase, SetEntryAddressesSurviveLaterExtensions) {
    EditPropertyBase s(false);
    s.addEventProperties(0, "A", "", "Events", PE_BOOL, "", 0);
    s.addValProperties(0, 0, "V", "", "Events", PE_RESOURCE_FILE, "", 0);
    EditPropertyEntry* a = s.getProperties(0, 1);
    EditPropertyEntry* v = s.getValProperties(0, 0, 1);
    for (int i = 1; i < 200; ++i) {
        s.setProperties(i, 1, "N", "", "Events", PE_BOOL, "", 0);
        s.setValProperties(i, i % 7, 1, "N", "", "Events", PE_BOOL, "", 0);
        s.setValProperties(0, i, 1, "N", "", "Events", PE_BOOL, "", 0);
    }
    EXPECT_EQ(s.getProperties(0, 1), a);
    EXPECT_EQ(a->name, "A");
    EXPECT_EQ(s.getValProperties(0, 0, 1), v);
    EXPECT_EQ(v->name, "V");
}

TEST(EditPropertyBase, ValidationTableExtendsToStringAndKey) {
    EditPropertyBase s(false);
    s.addValProperties(0, 2, "Audio File Name", "", "Events", PE_RESOURCE_FILE, "", 0);
    s.addValProperties(0, 2, "Message", "", "Events", PE_VALIDATION_MESSAGE, "", 0);
    s.addValProperties(0, 2, "Go To Frame", "", "Events", PE_VALIDATION_FRAME, "", 0);
    EXPECT_EQ(s.validationStringCount(), 1);
    EXPECT_EQ(s.validationSetCount(0), 3);
    EXPECT_EQ(*s.getValProperties(0, 0, 1), EditPropertyEntry());
    EXPECT_EQ(*s.getValProperties(0, 1, 3), EditPropertyEntry());
    EXPECT_EQ(s.getValProperties(1, 0, 1), nullptr);

    s.setValEventPropValue(0, 2, "message", "Hello");
    s.setValEventPropValueId(0, 2, "Audio File Name", 0x03010001);
    s.setValEventPropValue(0, 2, 3, "Next");
    s.setValEventPropValueId(0, 2, 3, 7);
    EXPECT_EQ(s.getValEventPropValue(0, 2, "MESSAGE"), "Hello");
    EXPECT_EQ(s.getValProperties(0, 2, "audio file name")->valueId, 0x03010001);
    EXPECT_EQ(s.getValProperties(0, 2, 3)->value, "Next");
    EXPECT_EQ(s.getValProperties(0, 2, 3)->valueId, 7);
    EXPECT_EQ(s.getValEventPropValue(0, 2, "absent"), QString());

    s.addValProperties(2, 0, "A", "", "Events", PE_RESOURCE_FILE, "", 0);
    EXPECT_EQ(s.validationStringCount(), 3);
    EXPECT_EQ(s.validationSetCount(1), 0);
    EXPECT_EQ(s.validationSetCount(2), 1);
    EXPECT_EQ(s.getValProperties(2, 0, 1)->name, "A"); // counter 3 > 2 started again at slot 1
}

} // namespace
