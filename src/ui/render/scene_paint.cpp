#include "render/scene_paint.h"

#include "state/public_state.h"
#include "state/table_state.h"

namespace krvo {

int SceneSources::position(std::uint8_t chair) const {
    return chair < pub.bteViewPos.size() ? pub.bteViewPos[chair] & 3 : kTop;
}

bool SceneSources::seatsShown() const {
    return !pub.strViewUserName.empty();
}

bool SceneSources::showsPreviousPlay(std::uint8_t chair) const {
    return overlays.trickView == TrickView::Previous &&
           (overlays.currentPlaySeats & (1u << chair)) == 0;
}

// The previous trick is laid over the place of the play buttons.
bool SceneSources::playButtonsHidden() const {
    return overlays.trickView == TrickView::Previous && !overlays.playButtonsOverTrick;
}

void PaintTableLayers(TableCanvas& canvas, const SceneSources& scene) {
    if (canvas.clip().isEmpty()) return;
    PaintBackground(canvas, scene);
    PaintTimeBarEnds(canvas, scene);
    PaintCentre(canvas, scene);
    if (scene.seatsShown()) {
        for (std::uint8_t chair = 0; chair < kChairCount; ++chair) {
            PaintSeat(canvas, scene, chair);
            if (!scene.table.blnNoGame) PaintSeatRound(canvas, scene, chair);
        }
        PaintPanels(canvas, scene);
        PaintButtons(canvas, scene);
        PaintTimeBarEnds(canvas, scene);
        PaintClock(canvas, scene);
        PaintWaitingNotice(canvas, scene);
    }
    PaintOverlays(canvas, scene);
    PaintPropShows(canvas, scene);
}

QString DecisionCaption(std::uint8_t roundState, int button) {
    static const char16_t* const captions[8][2] = {
        {u"亮 红A", u"不  亮"}, {u"跟  亮", u"不  跟"}, {u"我要揪", u"不  揪"},
        {u"投  降", u"不投降"}, {u"我要撅", u"不  撅"}, {u"跟  撅", u"不  跟"},
        {u"我要直", u"不  直"}, {u"跟  直", u"不  跟"},
    };
    if (roundState < kRoundShowRedAces || roundState > kRoundFollowZhi) return {};
    if (button < 0 || button > 1) return {};
    return QString::fromUtf16(captions[roundState - 1][button]);
}

QString WaitingNoticeText(std::uint8_t roundState) {
    switch (roundState) {
        case kRoundShowRedAces:
        case kRoundFollowShow:
        case kRoundJiu:
            return QStringLiteral("其他玩家正在协商是否 亮 或 揪，请稍等...");
        case kRoundSurrender:
            return QStringLiteral("有两张红A的玩家正在决定是否要 投降，请稍等...");
        case kRoundJue:
        case kRoundFollowJue:
            return QStringLiteral("其他玩家正在协商是否要 撅，请稍等...");
        case kRoundZhi:
        case kRoundFollowZhi:
            return QStringLiteral("其他玩家正在协商是否要 直，请稍等...");
        default:
            return {};
    }
}

}  // namespace krvo
