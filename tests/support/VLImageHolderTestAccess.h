// The image holder's private state for tests: they build undo, selection and
// drawing states directly and look at the undo stacks, which no other class
// reads. Reads of state the holder shows anyway go through its accessors.
#pragma once

#include "canvas/VLImageHolder.h"

class VLImageHolderTestAccess {
  public:
    explicit VLImageHolderTestAccess(VLImageHolder& h)
        : gcCreated(h.gcCreated), draw_tool(h.draw_tool), moveUndoSaved(h.moveUndoSaved),
          currentTool(h.currentTool), vObjectList(h.vObjectList), vAllObjects(h.vAllObjects),
          editDisabled(h.editDisabled), vLastObjectNumber(h.vLastObjectNumber), screenRegion(h.screenRegion),
          newObjectID(h.newObjectID), vSelectedObjectIndex(h.vSelectedObjectIndex),
          stRemovedObjects(h.stRemovedObjects), stActionCounts(h.stActionCounts),
          stGeometryCounts(h.stGeometryCounts), stObjectIndexes(h.stObjectIndexes),
          stUndoCodes(h.stUndoCodes), stRects(h.stRects), stPointArrays(h.stPointArrays),
          stObjectClipboard(h.stObjectClipboard), stFrameRanges(h.stFrameRanges),
          polylineClosed(h.polylineClosed) {}

    bool& gcCreated;
    DrawTools*& draw_tool;
    bool& moveUndoSaved;
    int& currentTool;
    std::vector<DrawTools*>& vObjectList;
    std::vector<StrAllObjects>& vAllObjects;
    bool& editDisabled;
    std::vector<sLastObjectNumber>& vLastObjectNumber;
    std::unique_ptr<QRegion>& screenRegion;
    char (&newObjectID)[12];
    std::vector<int>& vSelectedObjectIndex;
    std::stack<DrawTools*>& stRemovedObjects;
    std::stack<int>& stActionCounts;
    std::stack<int>& stGeometryCounts;
    std::stack<int>& stObjectIndexes;
    std::stack<int>& stUndoCodes;
    std::stack<QRect>& stRects;
    std::stack<QPolygon>& stPointArrays;
    std::stack<NVAllObjects>& stObjectClipboard;
    std::stack<std::pair<int, int>>& stFrameRanges;
    bool& polylineClosed;
};

inline VLImageHolderTestAccess internals(VLImageHolder* holder) {
    return VLImageHolderTestAccess(*holder);
}
