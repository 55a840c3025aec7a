// The fixed names of the main window's controls, as UTF-8 identifiers.
#ifndef VANTRY_CONTROLS_CONTROL_NAMES_H_
#define VANTRY_CONTROLS_CONTROL_NAMES_H_

#include <string_view>

namespace vantry::controls {

// Controls that the logic writes or reads.
inline constexpr std::string_view kStudentAnswer = "编辑框_学生答案";
inline constexpr std::string_view kMatchedPoints = "编辑框_匹配得分点";
inline constexpr std::string_view kStudentName = "透明标签_姓名";
inline constexpr std::string_view kScore = "透明标签_分数";
inline constexpr std::string_view kRemaining = "编辑框_剩余份数";
inline constexpr std::string_view kGradeButton = "一键开始智能阅卷";
inline constexpr std::string_view kPointsPerHit = "编辑框_分值";
inline constexpr std::string_view kOrderKeys = "编辑框_先后顺序";
inline constexpr std::string_view kAnnouncement = "透明标签_公告";

// The rest of the window, which nothing but the window itself touches.
inline constexpr std::string_view kAnswerGroup = "分组框_学生答案";
inline constexpr std::string_view kPointsGroup = "分组框_匹配得分点";
inline constexpr std::string_view kResultGroup = "分组框_阅卷结果";
inline constexpr std::string_view kPointsLabel = "标签2";
inline constexpr std::string_view kOrderLabel = "标签1";
inline constexpr std::string_view kNoticeGroup = "分组框_公告";
inline constexpr std::string_view kTutorialButton = "查看软件使用教程";
inline constexpr std::string_view kSponsorGroup = "分组框_友情赞助";
inline constexpr std::string_view kSponsorText = "透明标签_赞助";
inline constexpr std::string_view kSponsorText1 = "透明标签_赞助1";
inline constexpr std::string_view kPicture1 = "图片框1";
inline constexpr std::string_view kPicture2 = "图片框2";

// Message box captions.
inline constexpr std::string_view kSummaryCaption = "提示信息";
inline constexpr std::string_view kUpdateCaption = "软件更新提示";

}  // namespace vantry::controls

#endif  // VANTRY_CONTROLS_CONTROL_NAMES_H_
