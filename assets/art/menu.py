def sheets():
    return []
