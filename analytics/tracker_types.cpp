#include "analytics/tracker_types.h"

#include "analytics/ql_exception.h"

namespace quillon {
namespace tracking {

namespace {

template <typename Enum, size_t Count>
std::string TextOf(Enum value, const char* const (&texts)[Count], const char* messageStart) {
    const auto index = static_cast<int32_t>(value);
    if (index < 0 || static_cast<size_t>(index) >= Count) {
        QL_THROW(std::string(messageStart) + std::to_string(index) + "]!");
    }
    return texts[index];
}

}  // namespace

std::string EventTypeText(QlEventType value) {
    static const char* const texts[] = {"Activity", "PaLaunchPal", "Login",   "Click",     "View",
                                        "Cashier",  "Share",       "Task",    "File",      "Order",
                                        "Payment",  "Uninstall",   "Update",  "Crashed",   "AppOpenNotification"};
    return TextOf(value, texts, "Unknown Event [");
}

std::string ResultText(QlResult value) {
    static const char* const texts[] = {"Success", "Cancelled", "Fail", "Unknown"};
    return TextOf(value, texts, "Unknown task result [");
}

std::string ClickTypeText(ClickType value) {
    static const char* const texts[] = {"Button", "Banner", "Tutorial", "File", "Others"};
    return TextOf(value, texts, "Unknown ClickType [");
}

std::string UpdateOpText(QlUpdateOp value) {
    static const char* const texts[] = {"UpdateCheck", "DownloadStart", "DownloadEnd", "UpgrateStart", "UpgrateEnd"};
    return TextOf(value, texts, "Unknown QlUpdateOp [");
}

std::string UpdateResultText(QlUpdateResult value) {
    static const char* const texts[] = {"Success", "Cancelled", "Timeout", "Fail", "Latest", "Updateable"};
    return TextOf(value, texts, "Unknown QlUpdateResult [");
}

std::string IapTypeText(QlIapType value) {
    static const char* const texts[] = {"Consumable", "NonConsumable", "AutoRenewable", "NonRenewable"};
    return TextOf(value, texts, "Unknown qlIapType [");
}

std::string CurrencyText(QlCurrency value) {
    static const char* const texts[] = {"CNY", "USD", "EUR", "HKD", "TWD", "MOP", "SGD", "JPY", "KRW", "INR", "GBP"};
    return TextOf(value, texts, "Unknown currency [");
}

std::string PaidPlatformText(QlPaidPlatform value) {
    static const char* const texts[] = {"Alipay",    "WeChatPay", "PayPal",   "Tenpay", "CIECC",
                                        "GooglePay", "HuaweiPay", "AppleIAP", "Paddle", "ChinaUnionPay"};
    return TextOf(value, texts, "Unknown paid platform [");
}

std::string UserTypeText(QlUserType value) {
    static const char* const texts[] = {"unknown", "mobilephone", "email", "weixin",        "qq",     "deviceid",
                                        "baidu",   "huawei",      "apple", "quillonuserid", "google", "facebook"};
    return TextOf(value, texts, "Unknown user type [");
}

std::string IoTypeText(QlIoType value) {
    if (value == QlIoType::Input) return "Input";
    if (value == QlIoType::Output) return "Output";
    QL_THROW("the io type is invalid");
}

std::string EditionText(QlEdition value) {
    static const char* const texts[] = {"china", "overseas"};
    return TextOf(value, texts, "Unknown edition [");
}

}  // namespace tracking
}  // namespace quillon
