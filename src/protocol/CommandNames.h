#pragma once

#include <string_view>

// The names a sender registers as the command in flight, by which replies are routed, and the
// labels of the request lines in the traffic view.
namespace zr::protocol::command {

inline constexpr std::string_view kReadUid = "ReadUID";
inline constexpr std::string_view kV1AssignAKey = "V1_Assign_A_Key";
inline constexpr std::string_view kV1ModifyAKey = "V1_Modify_A_Key";
inline constexpr std::string_view kV1LoadNewAKey = "V1_LoadNewAKey";
inline constexpr std::string_view kV1ReadCardCode = "V1_ReadCardCode";
inline constexpr std::string_view kV1WriteCardCode = "V1_WriteCardCode";
inline constexpr std::string_view kV2AssignAKey = "V2_Assign_A_Key";
inline constexpr std::string_view kV2ModifyAKey = "V2_Modify_A_Key";
inline constexpr std::string_view kV2WriteCardCode = "V2_WriteCardCode";
inline constexpr std::string_view kV2ReadCardCode = "V2_ReadCardCode";
inline constexpr std::string_view kKeyToController = "120";

inline constexpr std::string_view kLabelReadUid = "-ReadUID";
inline constexpr std::string_view kLabelV2ReadCardCode = "-V2_ReadCardCode";
inline constexpr std::string_view kLabelAssignCardType0 = "-AssignCardType:0";
inline constexpr std::string_view kLabelV1LoadNewAKey = "-V1_LoadNewAKey";
inline constexpr std::string_view kLabelModifyKey = "-ModifyKey";
inline constexpr std::string_view kLabelReadCardCode = "-ReadCardCode";

} // namespace zr::protocol::command
