namespace display_placeholder {}
