#include "core/link/TransferMessages.h"

const char* TransferMessageEnglishText(TransferMessage message)
{
    switch (message) {
    case TransferMessage::CommunicationError:
        return "Communication Error,Please check all the connections and the radio power";
    case TransferMessage::CannotOpenPort:
        return "Could not Open the Port,Please check whether the Port are occupied or the device are ok";
    case TransferMessage::ProgramInterrupt:
        return "Program Interrupt, Please reset the radio and try again";
    case TransferMessage::TypeMismatch:
        return TypeMismatchText(false);
    }
    return "";
}

const char* TypeMismatchText(bool chinese)
{
    return chinese ? "对讲机类型不匹配,无法通讯。" : "Becuase the type of radio does not match,\ncommunications is interrupt.";
}

const char* TypeMismatchCaption(bool chinese)
{
    return chinese ? "警告" : "Caution";
}
