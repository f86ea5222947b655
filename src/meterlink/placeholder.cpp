namespace meterlink_placeholder {}
