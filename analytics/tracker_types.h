// The tracker's vocabulary: its construction record, the enumerations with the texts they
// carry on the wire, and one record type per kind of event. Texts are UTF-8; an absent
// optional field is left out of the event.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillon {
namespace tracking {

struct TrackerConfig {
    std::string appName;       // required
    std::string appVersion;    // required
    std::string appStore;      // required: the distribution channel
    std::string dlAppId;       // optional: the application being downloaded or installed
    std::string dlAppVersion;  // optional
    std::string logFilePath;   // empty: beside the identity file
    int32_t edition = 0;       // 0 china, 1 overseas
    std::string serverUrl;     // empty: the built-in collector address
};

enum class QlEventType : int32_t {
    Activity = 0, PaLaunchPal, Login, Click, View, Cashier, Share, Task, File, Order, Payment, Uninstall, Update,
    Crashed, AppOpenNotification
};
enum class QlResult : int32_t { Success = 0, Cancelled, Fail, Unknown };
enum class ClickType : int32_t { Button = 0, Banner, Tutorial, File, Others };
enum class QlUpdateOp : int32_t { UpdateCheck = 0, DownloadStart, DownloadEnd, UpgrateStart, UpgrateEnd };
enum class QlUpdateResult : int32_t { Success = 0, Cancelled, Timeout, Fail, Latest, Updateable };
enum class QlIapType : int32_t { Consumable = 0, NonConsumable, AutoRenewable, NonRenewable };
enum class QlCurrency : int32_t { CNY = 0, USD, EUR, HKD, TWD, MOP, SGD, JPY, KRW, INR, GBP };
enum class QlPaidPlatform : int32_t {
    Alipay = 0, WeChatPay, PayPal, Tenpay, CIECC, GooglePay, HuaweiPay, AppleIAP, Paddle, ChinaUnionPay
};
enum class QlUserType : int32_t {
    Unknown = 0, MobilePhone, Email, Weixin, QQ, DeviceId, Baidu, Huawei, Apple, QuillonUserId, Google, Facebook
};
enum class QlIoType : int32_t { Input = 0, Output };
enum class QlEdition : int32_t { China = 0, Overseas };

// The wire texts; a value outside its enumeration raises QlException.
std::string EventTypeText(QlEventType value);
std::string ResultText(QlResult value);
std::string ClickTypeText(ClickType value);
std::string UpdateOpText(QlUpdateOp value);
std::string UpdateResultText(QlUpdateResult value);
std::string IapTypeText(QlIapType value);
std::string CurrencyText(QlCurrency value);
std::string PaidPlatformText(QlPaidPlatform value);
std::string UserTypeText(QlUserType value);
std::string IoTypeText(QlIoType value);
std::string EditionText(QlEdition value);

struct QlEventClick {
    std::string aname;
    std::string name;
    ClickType clickType = ClickType::Others;
    std::string title;
    std::string module;
    std::string position;
    std::optional<int32_t> tabIndex;
    std::string tabName;
    std::optional<int32_t> bannerIndex;
    std::string bannerName;
};

struct QlEventView {
    std::string aname;
    std::string name;
    std::string title;
    std::string position;
};

struct QlEventCashier {
    std::string cashierName;
    std::string cashierTitle;
    std::string subitem;
};

struct QlEventShare {
    std::string aname;
    std::string channel;
    std::string position;
    std::string sharedName;
    std::optional<QlResult> result;
};

struct QlEventTask {
    std::string aname;
    std::string name;
    std::string reason;
    std::optional<float> elapsed;  // seconds
    std::optional<QlResult> result;
};

struct QlEventFile {
    std::string aname;
    std::string name;
    std::optional<QlIoType> io;
    std::string ext;
    std::optional<float> size;
    std::optional<int32_t> duration;
    std::optional<float> fps;
    std::optional<float> bps;
    std::optional<int32_t> width;
    std::optional<int32_t> height;
    std::optional<int32_t> depth;
    std::optional<QlResult> result;
};

struct QlEventOrder {
    std::string orderId;
    std::string subitem;
    std::string sku;
    std::string suitId;
    std::optional<QlCurrency> currency;
    float originalAmount = 0.0f;
    std::string voucherId;
    float paidAmount = 0.0f;
    std::string cashierName;
    std::string cashierTitle;
    std::optional<int32_t> campaignCode;
    float curOriginalAmount = 0.0f;
    float curPaidAmount = 0.0f;
};

struct QlEventPayment {
    std::string orderId;
    std::string subitem;
    std::string sku;
    std::optional<QlCurrency> currency;
    float originalAmount = 0.0f;
    std::optional<int32_t> campaignCode;
    std::string voucherId;
    std::string usedVoucherId;
    float paidAmount = 0.0f;
    std::string suitId;
    std::string cashierName;
    std::string cashierTitle;
    std::optional<QlPaidPlatform> paidPlatform;
    std::optional<QlResult> result;
    std::optional<QlIapType> iapType;
    float curOriginalAmount = 0.0f;
    float curPaidAmount = 0.0f;
};

struct QlEventUpdate {
    QlUpdateOp op = QlUpdateOp::UpdateCheck;
    std::optional<QlUpdateResult> result;
    std::optional<float> elapsed;
};

struct QlAppOpenNotification {
    std::string msgTitle;
    std::string msgContent;
    std::string linkUrl;
    std::string planId;
    std::string audienceId;
    std::string planStrategyId;
    std::string planType;
    std::string strategyUnitId;
};

struct QlLoginUser {
    std::string userId;
    std::string userName;
    QlUserType userType = QlUserType::Unknown;
    std::string nickname;
    std::string portrait;
    std::string mobilePhone;
    std::string email;
    std::string weixin;
    std::string qq;
    std::string did;
    int64_t created = 0;    // seconds since 1970
    int64_t lastLogin = 0;  // seconds since 1970
    std::string lastIp;
    int32_t vipLevel = 0;
    int64_t vipEndDate = 0;  // seconds since 1970
};

}  // namespace tracking
}  // namespace quillon
