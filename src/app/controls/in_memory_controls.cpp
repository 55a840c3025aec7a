#include "app/controls/in_memory_controls.h"

#include "app/controls/control_names.h"
#include "text/gbk_codec.h"

namespace vantry {

const std::map<std::string, GbkText, std::less<>>& InitialControlTexts() {
  static const std::map<std::string, GbkText, std::less<>> texts = [] {
    namespace c = controls;
    std::map<std::string, GbkText, std::less<>> t;
    const std::pair<std::string_view, std::string_view> utf8[] = {
        {c::kAnswerGroup, "学生答案"},
        {c::kStudentAnswer, ""},
        {c::kPointsGroup, "匹配得分点"},
        {c::kMatchedPoints, ""},
        {c::kResultGroup, "阅卷结果"},
        {c::kStudentName, "李小明"},
        {c::kScore, "20分"},
        {c::kPointsLabel, "分值："},
        {c::kPointsPerHit, "2"},
        {c::kOrderLabel, "先后顺序："},
        {c::kOrderKeys, ""},
        {c::kRemaining, ""},
        {c::kGradeButton, "一键开始"},
        {c::kNoticeGroup, "公告"},
        {c::kAnnouncement, ""},
        {c::kTutorialButton, "查看软件使用教程"},
        {c::kSponsorGroup, "友情赞助 Donate Me"},
        {c::kSponsorText, "软件免费使用，请勿倒卖！"},
        {c::kSponsorText1, "如果有能力请打赏，支持我。"},
        {c::kPicture1, ""},
        {c::kPicture2, ""},
    };
    for (const auto& [name, text] : utf8) t.emplace(std::string(name), Utf8ToGbk(text));
    return t;
  }();
  return texts;
}

InMemoryControls::InMemoryControls() : texts_(InitialControlTexts()) {}

bool InMemoryControls::Has(std::string_view name) const { return texts_.contains(name); }

void InMemoryControls::SetControlText(std::string_view name, const GbkText& text) {
  if (recording_) events_.push_back({"set", std::string(name), text});
  if (auto it = texts_.find(name); it != texts_.end()) it->second = text;
}

void InMemoryControls::AppendControlText(std::string_view name, const GbkText& text) {
  if (recording_) events_.push_back({"append", std::string(name), text});
  if (auto it = texts_.find(name); it != texts_.end()) it->second += text;
}

GbkText InMemoryControls::GetControlText(std::string_view name) {
  auto it = texts_.find(name);
  GbkText text = it == texts_.end() ? GbkText() : it->second;
  if (recording_) events_.push_back({"get", std::string(name), text});
  return text;
}

void InMemoryControls::ShowMessageBox(const GbkText& text, const GbkText& caption) {
  MessageBox box{text, caption};
  if (on_message_box_) on_message_box_(box);
  message_boxes_.push_back(std::move(box));
}

void InMemoryControls::EndProcess(int exit_code) { exit_code_ = exit_code; }

}  // namespace vantry
