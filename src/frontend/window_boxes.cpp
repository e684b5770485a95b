#include "frontend/window_boxes.h"

#include "frontend/window_texts.h"
#include "image/load_image.h"
#include "workflow/job_messages.h"
#include "workflow/version_text.h"

namespace qv {

MessageBox VersionChangeBox(const std::optional<std::string>& radioVersion,
                            const std::string& newVersion) {
    return {VersionChangeText(radioVersion, newVersion), kConfirmationCaption, BoxButtons::OkCancel,
            BoxIcon::Exclamation};
}

MessageBox CancelledBox() {
    return {kCancelledMessage, kConfirmationCaption, BoxButtons::Ok, BoxIcon::Exclamation};
}

std::optional<MessageBox> OutcomeBox(const WriteJobOutcome& outcome) {
    if (outcome.succeeded) {
        return MessageBox{kWritingCompletedMessage, kUpdaterCaption, BoxButtons::Ok,
                          BoxIcon::Information};
    }
    if (outcome.interrupted || outcome.status == StatusCancelled) {
        return std::nullopt;
    }
    return MessageBox{outcome.closingMessage, kErrorCaption, BoxButtons::Ok, BoxIcon::Stop};
}

MessageBox DesignerBox() {
    return {kDesignerMessage, kUpdaterCaption, BoxButtons::Ok, BoxIcon::Information};
}

MessageBox ImageNotValidBox() {
    return {kImageNotValidMessage, kErrorCaption, BoxButtons::Ok, BoxIcon::None};
}

MessageBox ExitQuestionBox() {
    return {kExitQuestion, kExitCaption, BoxButtons::OkCancel, BoxIcon::Question};
}

MessageBox MustInputFileNameBox() {
    return {kMustInputFileName, kMustInputFileNameCaption, BoxButtons::Ok, BoxIcon::Stop};
}

}  // namespace qv
