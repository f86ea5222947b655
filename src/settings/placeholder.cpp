namespace settings_placeholder {}
